// Frame commands, their placement attributes, and actions.

#include "genswf/movie/Movie.h"

#include <cmath>

namespace genswf {

// --- Commands --------------------------------------------------------------------------------

CFrameCommand::CFrameCommand(CFrameTrack* track, std::uint32_t frame, int type)
    : m_movie(track->GetMovie()), m_frame(frame), m_type(type), m_track(track) {}

void CPlacementCommand::WritePlacement() {
    const float epsilon = 0.00001f;
    if (std::fabs(matrix.tx) > epsilon) AddTwipsAttribute(L"moveX", matrix.tx);
    if (std::fabs(matrix.ty) > epsilon) AddTwipsAttribute(L"moveY", matrix.ty);
    if (std::fabs(matrix.a - 1.0f) > epsilon) AddFloatAttribute(L"scaleX", matrix.a);
    if (std::fabs(matrix.d - 1.0f) > epsilon) AddFloatAttribute(L"scaleY", matrix.d);
    if (std::fabs(matrix.c) > epsilon) AddFloatAttribute(L"skewX", matrix.c);
    if (std::fabs(matrix.b) > epsilon) AddFloatAttribute(L"skewY", matrix.b);
    if (shiftRed != 0) AddIntAttribute(L"shiftRed", shiftRed);
    if (shiftGreen != 0) AddIntAttribute(L"shiftGreen", shiftGreen);
    if (shiftBlue != 0) AddIntAttribute(L"shiftBlue", shiftBlue);
    if (shiftAlpha != 0) AddIntAttribute(L"shiftAlpha", shiftAlpha);
    if (!maskId.empty()) AddAttribute(L"maskId", maskId);
}

CShowCommand::CShowCommand(const std::wstring& objectId_, CFrameTrack* track, std::uint32_t frame,
                           const CMatrix& matrix)
    : CPlacementCommand(track, frame, SHOW, matrix), objectId(objectId_), showId(m_movie->NewShowId()) {}

void CShowCommand::Write(const XmlElementPtr& frameElement) {
    XmlElementPtr element = m_movie->WriteShow(frameElement, showId, objectId);
    WritePlacement();
    WriteAttributes(element);
}

CReplaceCommand::CReplaceCommand(const std::wstring& showId_, const std::wstring& objectId_, CFrameTrack* track,
                                 std::uint32_t frame, const CMatrix& matrix)
    : CPlacementCommand(track, frame, REPLACE, matrix), showId(showId_), objectId(objectId_) {}

void CReplaceCommand::Write(const XmlElementPtr& frameElement) {
    XmlElementPtr element = m_movie->WriteReplace(frameElement, showId, objectId);
    WritePlacement();
    WriteAttributes(element);
}

CModifyCommand::CModifyCommand(const std::wstring& showId, CFrameTrack* track, std::uint32_t frame,
                               const CMatrix& matrix)
    : CPlacementCommand(track, frame, MODIFY, matrix) {
    AddAttribute(L"showId", showId);
}

void CModifyCommand::Write(const XmlElementPtr& frameElement) {
    XmlElementPtr element = m_movie->WriteModify(frameElement);
    WritePlacement();
    WriteAttributes(element);
}

CHideCommand::CHideCommand(const std::wstring& showId_, CFrameTrack* track, std::uint32_t frame)
    : CFrameCommand(track, frame, HIDE), showId(showId_) {
    AddAttribute(L"showId", showId_);
}

void CHideCommand::Write(const XmlElementPtr& frameElement) {
    XmlElementPtr element = m_movie->WriteHide(frameElement, showId);
    WriteAttributes(element);
}

CActionsCommand::CActionsCommand(CFrameTrack* track, std::uint32_t frame)
    : CFrameCommand(track, frame, ACTIONS), actions(track->GetMovie()) {}

void CActionsCommand::Write(const XmlElementPtr& frameElement) {
    if (actions.IsEmpty()) return;
    actions.Write(m_movie->WriteActions(frameElement));
}

CStartSoundStreamCommand::CStartSoundStreamCommand(const std::wstring& objectId_, CFrameTrack* track,
                                                   std::uint32_t frame)
    : CFrameCommand(track, frame, START_SOUND_STREAM), objectId(objectId_) {}

void CStartSoundStreamCommand::Write(const XmlElementPtr& frameElement) {
    XmlElementPtr element = m_movie->WriteStartSoundStream(frameElement, objectId);
    if (trimFrames >= 0)
        m_movie->SetElementAttribute(element, L"trimFrames", IntToWString(trimFrames));
    else if (trimToMovie)
        m_movie->SetElementAttribute(element, L"trimToMovie", L"1");
    if (stopOnFinish) m_movie->SetElementAttribute(element, L"stopOnFinish", L"1");
}

std::shared_ptr<CShowCommand> CreateShowCommand(CFrameTrack* track, std::uint32_t frame, const std::wstring& objectId,
                                                const CMatrix& matrix) {
    return std::make_shared<CShowCommand>(objectId, track, frame, matrix);
}
std::shared_ptr<CModifyCommand> CreateModifyCommand(CFrameTrack* track, std::uint32_t frame, const std::wstring& showId,
                                                    const CMatrix& matrix) {
    return std::make_shared<CModifyCommand>(showId, track, frame, matrix);
}
std::shared_ptr<CReplaceCommand> CreateReplaceCommand(CFrameTrack* track, std::uint32_t frame,
                                                      const std::wstring& showId, const std::wstring& objectId,
                                                      const CMatrix& matrix) {
    return std::make_shared<CReplaceCommand>(showId, objectId, track, frame, matrix);
}
std::shared_ptr<CHideCommand> CreateHideCommand(CFrameTrack* track, std::uint32_t frame, const std::wstring& showId) {
    return std::make_shared<CHideCommand>(showId, track, frame);
}
std::shared_ptr<CActionsCommand> CreateActionsCommand(CFrameTrack* track, std::uint32_t frame) {
    return std::make_shared<CActionsCommand>(track, frame);
}
std::shared_ptr<CStartSoundStreamCommand> CreateStartSoundStreamCommand(CFrameTrack* track, std::uint32_t frame,
                                                                        const std::wstring& objectId) {
    return std::make_shared<CStartSoundStreamCommand>(objectId, track, frame);
}
std::shared_ptr<CEmptyCommand> CreateEmptyCommand(CFrameTrack* track, std::uint32_t frame) {
    return std::make_shared<CEmptyCommand>(track, frame);
}

// --- Actions ---------------------------------------------------------------------------------

std::shared_ptr<CActionStop> CActionList::AddStop() {
    auto action = CreateActionStop(m_movie);
    m_actions.push_back(action);
    return action;
}

std::shared_ptr<CActionGetURL> CActionList::AddGetURL(const std::wstring& url, const std::wstring& target) {
    auto action = CreateActionGetURL(m_movie, url);
    action->target = target;
    m_actions.push_back(action);
    return action;
}

std::shared_ptr<CActionSetTarget> CActionList::AddSetTarget(const std::wstring& spriteName) {
    auto action = CreateActionSetTarget(m_movie, spriteName);
    m_actions.push_back(action);
    return action;
}

std::shared_ptr<CActionGoToFrame> CActionList::AddGoToFrame(int index) {
    auto action = CreateActionGoToFrame(m_movie, index);
    m_actions.push_back(action);
    return action;
}

std::shared_ptr<CActionCallFunction> CActionList::AddCallFunction(const std::wstring& name) {
    auto action = CreateActionCallFunction(m_movie, name);
    m_actions.push_back(action);
    return action;
}

void CActionList::Write(const XmlElementPtr& parent, std::size_t first) const {
    for (std::size_t i = first; i < m_actions.size(); ++i) m_actions[i]->Write(parent);
}

void CActionStop::Write(const XmlElementPtr& parent) { m_attributes.Write(m_movie, m_movie->WriteActionStop(parent)); }

void CActionGetURL::Write(const XmlElementPtr& parent) {
    XmlElementPtr element = m_movie->WriteActionGetURL(parent, url);
    if (!target.empty()) m_attributes.Set(L"target", target);
    m_attributes.Write(m_movie, element);
}

void CActionSetTarget::Write(const XmlElementPtr& parent) {
    m_attributes.Write(m_movie, m_movie->WriteActionSetTarget(parent, spriteName));
}

void CActionGoToFrame::Write(const XmlElementPtr& parent) {
    m_attributes.Write(m_movie, m_movie->WriteActionGoToFrame(parent, index));
}

void CActionCallFunction::Write(const XmlElementPtr& parent) {
    XmlElementPtr element = m_movie->WriteActionCallFunction(parent, name);
    for (const auto& parameter : parameters) parameter->Write(element);
}

std::shared_ptr<CParamInteger> CActionCallFunction::AddIntParameter(int value) {
    auto parameter = CreateParamInteger(m_movie, value);
    parameters.push_back(parameter);
    return parameter;
}

void CParamInteger::Write(const XmlElementPtr& parent) { m_movie->WriteParamInteger(parent, value); }

std::shared_ptr<CActionStop> CreateActionStop(CMovie* movie) { return std::make_shared<CActionStop>(movie); }
std::shared_ptr<CActionGetURL> CreateActionGetURL(CMovie* movie, const std::wstring& url) {
    return std::make_shared<CActionGetURL>(movie, url);
}
std::shared_ptr<CActionSetTarget> CreateActionSetTarget(CMovie* movie, const std::wstring& spriteName) {
    return std::make_shared<CActionSetTarget>(movie, spriteName);
}
std::shared_ptr<CActionGoToFrame> CreateActionGoToFrame(CMovie* movie, int index) {
    return std::make_shared<CActionGoToFrame>(movie, index);
}
std::shared_ptr<CActionCallFunction> CreateActionCallFunction(CMovie* movie, const std::wstring& name) {
    return std::make_shared<CActionCallFunction>(movie, name);
}
std::shared_ptr<CParamInteger> CreateParamInteger(CMovie* movie, int value) {
    return std::make_shared<CParamInteger>(movie, value);
}

}  // namespace genswf
