#pragma once
// Timelines of the movie description: frame tracks merged by frame lists, the frame commands
// they hold (show, modify, replace, hide, sound start, actions) and the actions that "actions"
// commands and buttons run.

#include "MovieTypes.h"
#include "genswf/geometry/Geometry.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace genswf {

class CFrameCommand;
class CShowCommand;
class CModifyCommand;
class CReplaceCommand;
class CHideCommand;
class CActionsCommand;
class CStartSoundStreamCommand;
class CEmptyCommand;
class CMovieAction;
class CActionStop;
class CActionGetURL;
class CActionSetTarget;
class CActionGoToFrame;
class CActionCallFunction;

// --- Actions ---------------------------------------------------------------------------------

class CActionList {
public:
    explicit CActionList(CMovie* movie) : m_movie(movie) {}
    virtual ~CActionList() = default;

    std::shared_ptr<CActionStop> AddStop();
    std::shared_ptr<CActionGetURL> AddGetURL(const std::wstring& url, const std::wstring& target);
    std::shared_ptr<CActionSetTarget> AddSetTarget(const std::wstring& spriteName);
    std::shared_ptr<CActionGoToFrame> AddGoToFrame(int index);
    std::shared_ptr<CActionCallFunction> AddCallFunction(const std::wstring& name);

    // Writes the actions from index `first` on, in the order added.
    void Write(const XmlElementPtr& parent, std::size_t first = 0) const;

    const std::vector<std::shared_ptr<CMovieAction>>& GetActions() const { return m_actions; }
    bool IsEmpty() const { return m_actions.empty(); }
    std::size_t GetCount() const { return m_actions.size(); }

private:
    std::vector<std::shared_ptr<CMovieAction>> m_actions;
    CMovie* m_movie;
};

class CMovieAction {
public:
    explicit CMovieAction(CMovie* movie) : m_movie(movie) {}
    virtual void Write(const XmlElementPtr& parent) = 0;
    virtual ~CMovieAction() = default;

    CAttributeList& GetAttributes() { return m_attributes; }

protected:
    CMovie* m_movie;
    CAttributeList m_attributes;
};

class CActionStop : public CMovieAction {
public:
    using CMovieAction::CMovieAction;
    void Write(const XmlElementPtr& parent) override;
};

class CActionGetURL : public CMovieAction {
public:
    CActionGetURL(CMovie* movie, const std::wstring& url_) : CMovieAction(movie), url(url_) {}
    void Write(const XmlElementPtr& parent) override;

    std::wstring url;
    std::wstring target;  // written only when not empty
};

class CActionSetTarget : public CMovieAction {
public:
    CActionSetTarget(CMovie* movie, const std::wstring& spriteName_) : CMovieAction(movie), spriteName(spriteName_) {}
    void Write(const XmlElementPtr& parent) override;

    std::wstring spriteName;  // "/" names the root movie
};

class CActionGoToFrame : public CMovieAction {
public:
    CActionGoToFrame(CMovie* movie, int index_) : CMovieAction(movie), index(index_) {}
    void Write(const XmlElementPtr& parent) override;

    int index;
};

class CActionParameter {
public:
    explicit CActionParameter(CMovie* movie) : m_movie(movie) {}
    virtual void Write(const XmlElementPtr& parent) = 0;
    virtual ~CActionParameter() = default;

protected:
    CMovie* m_movie;
};

class CParamInteger : public CActionParameter {
public:
    CParamInteger(CMovie* movie, int value_) : CActionParameter(movie), value(value_) {}
    void Write(const XmlElementPtr& parent) override;

    int value;
};

class CActionCallFunction : public CMovieAction {
public:
    CActionCallFunction(CMovie* movie, const std::wstring& name_) : CMovieAction(movie), name(name_) {}
    void Write(const XmlElementPtr& parent) override;
    std::shared_ptr<CParamInteger> AddIntParameter(int value);

    std::wstring name;
    std::vector<std::shared_ptr<CActionParameter>> parameters;
};

std::shared_ptr<CActionStop> CreateActionStop(CMovie* movie);
std::shared_ptr<CActionGetURL> CreateActionGetURL(CMovie* movie, const std::wstring& url);
std::shared_ptr<CActionSetTarget> CreateActionSetTarget(CMovie* movie, const std::wstring& spriteName);
std::shared_ptr<CActionGoToFrame> CreateActionGoToFrame(CMovie* movie, int index);
std::shared_ptr<CActionCallFunction> CreateActionCallFunction(CMovie* movie, const std::wstring& name);
std::shared_ptr<CParamInteger> CreateParamInteger(CMovie* movie, int value);

// --- Frame commands --------------------------------------------------------------------------

class CFrameCommand {
public:
    enum Type : int {
        SHOW = 0,
        MODIFY = 1,
        HIDE = 2,
        REPLACE = 3,
        ACTIONS = 4,
        START_SOUND_STREAM = 7,
        EMPTY = 8,
    };

    CFrameCommand(CFrameTrack* track, std::uint32_t frame, int type);
    virtual void Write(const XmlElementPtr& frameElement) = 0;
    virtual ~CFrameCommand() = default;

    // The first value of a name is kept.
    void AddAttribute(std::wstring name, std::wstring value) { m_attributes.Add(std::move(name), std::move(value)); }
    void AddIntAttribute(std::wstring name, int value) { m_attributes.AddInt(std::move(name), value); }
    void AddFloatAttribute(std::wstring name, float value) { m_attributes.AddFloat(std::move(name), value); }
    void AddTwipsAttribute(std::wstring name, float value) { m_attributes.AddTwips(std::move(name), value); }
    void WriteAttributes(const XmlElementPtr& element) const { m_attributes.Write(m_movie, element); }

    std::uint32_t GetFrame() const { return m_frame; }
    int GetType() const { return m_type; }
    CFrameTrack* GetTrack() const { return m_track; }
    const CAttributeList& GetAttributes() const { return m_attributes; }

protected:
    CMovie* m_movie;
    std::uint32_t m_frame;
    int m_type;
    CFrameTrack* m_track;
    CAttributeList m_attributes;
};

// Show, replace and modify: a matrix, four colour shifts and an optional mask. Only what
// differs from the identity placement is written.
class CPlacementCommand : public CFrameCommand {
public:
    CPlacementCommand(CFrameTrack* track, std::uint32_t frame, int type, const CMatrix& matrix_)
        : CFrameCommand(track, frame, type), matrix(matrix_) {}

    void WritePlacement();

    std::wstring maskId;
    CMatrix matrix;
    int shiftRed = 0;
    int shiftGreen = 0;
    int shiftBlue = 0;
    int shiftAlpha = 0;
};

class CShowCommand : public CPlacementCommand {
public:
    CShowCommand(const std::wstring& objectId, CFrameTrack* track, std::uint32_t frame, const CMatrix& matrix);
    void Write(const XmlElementPtr& frameElement) override;

    const std::wstring& GetShowId() const { return showId; }
    const std::wstring& GetObjectId() const { return objectId; }

    std::wstring objectId;
    std::wstring showId;  // "show" + n; the movie export renames its slide shows
};

class CReplaceCommand : public CPlacementCommand {
public:
    CReplaceCommand(const std::wstring& showId, const std::wstring& objectId, CFrameTrack* track, std::uint32_t frame,
                    const CMatrix& matrix);
    void Write(const XmlElementPtr& frameElement) override;

    std::wstring showId;
    std::wstring objectId;
};

class CModifyCommand : public CPlacementCommand {
public:
    CModifyCommand(const std::wstring& showId, CFrameTrack* track, std::uint32_t frame, const CMatrix& matrix);
    void Write(const XmlElementPtr& frameElement) override;
};

class CHideCommand : public CFrameCommand {
public:
    CHideCommand(const std::wstring& showId, CFrameTrack* track, std::uint32_t frame);
    void Write(const XmlElementPtr& frameElement) override;

    std::wstring showId;
};

class CActionsCommand : public CFrameCommand {
public:
    CActionsCommand(CFrameTrack* track, std::uint32_t frame);
    void Write(const XmlElementPtr& frameElement) override;

    CActionList& GetActions() { return actions; }

    CActionList actions;
};

class CStartSoundStreamCommand : public CFrameCommand {
public:
    CStartSoundStreamCommand(const std::wstring& objectId, CFrameTrack* track, std::uint32_t frame);
    void Write(const XmlElementPtr& frameElement) override;

    std::wstring objectId;
    int trimFrames = -1;
    bool trimToMovie = false;
    bool stopOnFinish = false;
};

// Writes nothing; makes its frame one with commands, so the frame and its label are written.
class CEmptyCommand : public CFrameCommand {
public:
    CEmptyCommand(CFrameTrack* track, std::uint32_t frame) : CFrameCommand(track, frame, EMPTY) {}
    void Write(const XmlElementPtr&) override {}
};

std::shared_ptr<CShowCommand> CreateShowCommand(CFrameTrack* track, std::uint32_t frame, const std::wstring& objectId,
                                                const CMatrix& matrix);
std::shared_ptr<CModifyCommand> CreateModifyCommand(CFrameTrack* track, std::uint32_t frame, const std::wstring& showId,
                                                    const CMatrix& matrix);
std::shared_ptr<CReplaceCommand> CreateReplaceCommand(CFrameTrack* track, std::uint32_t frame,
                                                      const std::wstring& showId, const std::wstring& objectId,
                                                      const CMatrix& matrix);
std::shared_ptr<CHideCommand> CreateHideCommand(CFrameTrack* track, std::uint32_t frame, const std::wstring& showId);
std::shared_ptr<CActionsCommand> CreateActionsCommand(CFrameTrack* track, std::uint32_t frame);
std::shared_ptr<CStartSoundStreamCommand> CreateStartSoundStreamCommand(CFrameTrack* track, std::uint32_t frame,
                                                                        const std::wstring& objectId);
std::shared_ptr<CEmptyCommand> CreateEmptyCommand(CFrameTrack* track, std::uint32_t frame);

// --- Tracks and frame lists ------------------------------------------------------------------

using CFrameCommandList = std::vector<std::shared_ptr<CFrameCommand>>;

// One exporter's commands and labels by frame number.
class CFrameTrack {
public:
    explicit CFrameTrack(CMovie* movie) : m_movie(movie) {}
    virtual ~CFrameTrack() = default;
    CFrameTrack(const CFrameTrack&) = delete;
    CFrameTrack& operator=(const CFrameTrack&) = delete;

    std::shared_ptr<CShowCommand> AddShow(std::uint32_t f, const std::wstring& objectId, const CMatrix& matrix);
    std::shared_ptr<CModifyCommand> AddModify(std::uint32_t f, const std::wstring& showId, const CMatrix& matrix);
    std::shared_ptr<CReplaceCommand> AddReplace(std::uint32_t f, const std::wstring& showId,
                                                const std::wstring& objectId, const CMatrix& matrix);
    std::shared_ptr<CHideCommand> AddHide(std::uint32_t f, const std::wstring& showId);
    std::shared_ptr<CStartSoundStreamCommand> AddStartSoundStream(std::uint32_t f, const std::wstring& objectId);
    std::shared_ptr<CActionsCommand> AddActions(std::uint32_t f);
    std::shared_ptr<CEmptyCommand> AddEmptyCommand(std::uint32_t f);
    // Sets (or replaces) the label of frame f; adds no command.
    void AddLabel(std::uint32_t f, const std::wstring& text);

    // The commands of frame f, or null when it has none.
    const CFrameCommandList* GetCommands(std::uint32_t f) const;
    std::wstring GetLabel(std::uint32_t f) const;
    // Writes the label and the commands of frame f into the frame element.
    void WriteFrame(std::uint32_t f, const XmlElementPtr& frameElement) const;

    std::uint32_t GetFirstFrame() const { return m_firstFrame; }
    std::uint32_t GetLastFrame() const { return m_lastFrame; }
    bool IsEmpty() const { return m_isEmpty; }
    bool HasCommands() const { return !m_commands.empty(); }
    const std::map<std::uint32_t, CFrameCommandList>& GetCommandMap() const { return m_commands; }
    CMovie* GetMovie() const { return m_movie; }

private:
    void Widen(std::uint32_t f);
    template <class T>
    std::shared_ptr<T> Append(std::uint32_t f, std::shared_ptr<T> command);

    std::map<std::uint32_t, CFrameCommandList> m_commands;
    CMovie* m_movie;
    std::uint32_t m_firstFrame = 0;
    std::uint32_t m_lastFrame = 0;
    bool m_isEmpty = true;
    std::map<std::uint32_t, std::wstring> m_labels;
};

// The tracks of one timeline, merged into one run of "frame" elements when written.
class CFrameList {
public:
    explicit CFrameList(CMovie* movie) : m_movie(movie) {}
    virtual ~CFrameList() = default;
    CFrameList(const CFrameList&) = delete;
    CFrameList& operator=(const CFrameList&) = delete;

    std::shared_ptr<CFrameTrack> AddTrack();
    void Add(const std::shared_ptr<CFrameTrack>& track);
    // The track with the greatest last frame (the first of equal ones); null when none.
    std::shared_ptr<CFrameTrack> GetLatestTrack() const;
    bool HasCommands() const;
    // One "frame" per frame number that has commands in some track, in increasing order,
    // "index" = frameOffset + frame. An index beyond the signed 32-bit range is an error.
    void Write(const XmlElementPtr& parent, std::uint32_t frameOffset) const;

    const std::vector<std::shared_ptr<CFrameTrack>>& GetTracks() const { return m_tracks; }

private:
    std::vector<std::shared_ptr<CFrameTrack>> m_tracks;
    CMovie* m_movie;
};

// Per-slide navigation (first, previous, next, last) handed to a navigation listener.
class CNavigationState {
public:
    explicit CNavigationState(CMovie* movie);
    virtual ~CNavigationState() = default;

    void Update(int slideCount, int slideIndex, int previousFrame_, int nextFrame_, int firstFrame_, int lastFrame_,
                const std::wstring& target_);

    unsigned movieWidth = 0;
    unsigned movieHeight = 0;
    int previousFrame = 0;
    int nextFrame = 0;
    int firstFrame = 0;
    int lastFrame = 0;
    bool previousEnabled = false;
    bool nextEnabled = false;
    bool firstEnabled = false;
    bool lastEnabled = false;
    std::wstring target;

    CMovie* GetMovie() const { return m_movie; }

private:
    CMovie* m_movie;
};

std::shared_ptr<CFrameTrack> CreateFrameTrack(CMovie* movie);
std::shared_ptr<CFrameList> CreateFrameList(CMovie* movie);
std::shared_ptr<CNavigationState> CreateNavigationState(CMovie* movie);

}  // namespace genswf
