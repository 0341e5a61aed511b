// Frame tracks, frame lists and the navigation record.

#include "genswf/movie/Movie.h"

#include "genswf/utils/Exceptions.h"

#include <algorithm>
#include <climits>

namespace genswf {

std::shared_ptr<CFrameTrack> CreateFrameTrack(CMovie* movie) { return std::make_shared<CFrameTrack>(movie); }
std::shared_ptr<CFrameList> CreateFrameList(CMovie* movie) { return std::make_shared<CFrameList>(movie); }
std::shared_ptr<CNavigationState> CreateNavigationState(CMovie* movie) {
    return std::make_shared<CNavigationState>(movie);
}

// --- Track -----------------------------------------------------------------------------------

void CFrameTrack::Widen(std::uint32_t f) {
    if (m_isEmpty) {
        m_firstFrame = m_lastFrame = f;
        m_isEmpty = false;
    } else {
        m_firstFrame = std::min(m_firstFrame, f);
        m_lastFrame = std::max(m_lastFrame, f);
    }
}

template <class T>
std::shared_ptr<T> CFrameTrack::Append(std::uint32_t f, std::shared_ptr<T> command) {
    m_commands[f].push_back(command);
    return command;
}

std::shared_ptr<CShowCommand> CFrameTrack::AddShow(std::uint32_t f, const std::wstring& objectId,
                                                   const CMatrix& matrix) {
    Widen(f);
    return Append(f, CreateShowCommand(this, f, objectId, matrix));
}

std::shared_ptr<CModifyCommand> CFrameTrack::AddModify(std::uint32_t f, const std::wstring& showId,
                                                       const CMatrix& matrix) {
    Widen(f);
    return Append(f, CreateModifyCommand(this, f, showId, matrix));
}

std::shared_ptr<CReplaceCommand> CFrameTrack::AddReplace(std::uint32_t f, const std::wstring& showId,
                                                         const std::wstring& objectId, const CMatrix& matrix) {
    Widen(f);
    return Append(f, CreateReplaceCommand(this, f, showId, objectId, matrix));
}

std::shared_ptr<CHideCommand> CFrameTrack::AddHide(std::uint32_t f, const std::wstring& showId) {
    Widen(f);
    return Append(f, CreateHideCommand(this, f, showId));
}

std::shared_ptr<CStartSoundStreamCommand> CFrameTrack::AddStartSoundStream(std::uint32_t f,
                                                                           const std::wstring& objectId) {
    Widen(f);
    return Append(f, CreateStartSoundStreamCommand(this, f, objectId));
}

std::shared_ptr<CActionsCommand> CFrameTrack::AddActions(std::uint32_t f) {
    Widen(f);
    return Append(f, CreateActionsCommand(this, f));
}

std::shared_ptr<CEmptyCommand> CFrameTrack::AddEmptyCommand(std::uint32_t f) {
    Widen(f);
    return Append(f, CreateEmptyCommand(this, f));
}

void CFrameTrack::AddLabel(std::uint32_t f, const std::wstring& text) {
    Widen(f);
    m_labels[f] = text;
}

const CFrameCommandList* CFrameTrack::GetCommands(std::uint32_t f) const {
    if (m_isEmpty || f < m_firstFrame || f > m_lastFrame) return nullptr;
    auto it = m_commands.find(f);
    return it == m_commands.end() ? nullptr : &it->second;
}

std::wstring CFrameTrack::GetLabel(std::uint32_t f) const {
    auto it = m_labels.find(f);
    return it == m_labels.end() ? std::wstring() : it->second;
}

void CFrameTrack::WriteFrame(std::uint32_t f, const XmlElementPtr& frameElement) const {
    const std::wstring label = GetLabel(f);
    if (!label.empty()) m_movie->SetElementAttribute(frameElement, L"label", label);
    if (const CFrameCommandList* commands = GetCommands(f))
        for (const auto& command : *commands) command->Write(frameElement);
}

// --- Frame list ------------------------------------------------------------------------------

std::shared_ptr<CFrameTrack> CFrameList::AddTrack() {
    auto track = CreateFrameTrack(m_movie);
    m_tracks.push_back(track);
    return track;
}

void CFrameList::Add(const std::shared_ptr<CFrameTrack>& track) {
    if (track) m_tracks.push_back(track);
}

std::shared_ptr<CFrameTrack> CFrameList::GetLatestTrack() const {
    std::shared_ptr<CFrameTrack> latest;
    for (const auto& track : m_tracks)
        if (!latest || track->GetLastFrame() > latest->GetLastFrame()) latest = track;
    return latest;
}

bool CFrameList::HasCommands() const {
    return std::any_of(m_tracks.begin(), m_tracks.end(), [](const auto& t) { return t->HasCommands(); });
}

void CFrameList::Write(const XmlElementPtr& parent, std::uint32_t frameOffset) const {
    // Only the frames that hold commands are visited: walking every number between the
    // first and last frame would take forever on a track that ends near 2^32.
    std::vector<std::uint32_t> frames;
    for (const auto& track : m_tracks)
        for (const auto& entry : track->GetCommandMap())
            if (!entry.second.empty()) frames.push_back(entry.first);
    std::sort(frames.begin(), frames.end());
    frames.erase(std::unique(frames.begin(), frames.end()), frames.end());

    if (!frames.empty() && static_cast<std::uint64_t>(frameOffset) + frames.back() > INT_MAX)
        throw CBaseException(3, LocatedMessage(L"Frame index out of range: " + UIntToWString(frameOffset) + L" + " +
                                                   UIntToWString(frames.back()),
                                               __FILE__, __LINE__));

    for (std::uint32_t f : frames) {
        XmlElementPtr frameElement;
        for (const auto& track : m_tracks) {
            const CFrameCommandList* commands = track->GetCommands(f);
            if (!commands || commands->empty()) continue;
            if (!frameElement) frameElement = m_movie->WriteFrame(parent, static_cast<int>(frameOffset + f));
            track->WriteFrame(f, frameElement);
        }
    }
}

// --- Navigation ------------------------------------------------------------------------------

CNavigationState::CNavigationState(CMovie* movie)
    : movieWidth(movie->GetMovieWidth()), movieHeight(movie->GetMovieHeight()), m_movie(movie) {}

void CNavigationState::Update(int slideCount, int slideIndex, int previousFrame_, int nextFrame_, int firstFrame_,
                              int lastFrame_, const std::wstring& target_) {
    previousEnabled = firstEnabled = slideIndex != 0;
    nextEnabled = lastEnabled = slideIndex != static_cast<long long>(slideCount) - 1;
    previousFrame = previousFrame_;
    nextFrame = nextFrame_;
    firstFrame = firstFrame_;
    lastFrame = lastFrame_;
    target = target_;
}

}  // namespace genswf
