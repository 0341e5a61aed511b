#include "addin/dialogs/PublishDialog.h"

#include "addin/language/LanguageManager.h"
#include "addin/settings/Settings.h"
#include "addin/shell/ShellServices.h"
#include "genswf/utils/Exceptions.h"
#include "genswf/utils/PresentationUtils.h"
#include "genswf/utils/Utils.h"

#include <cstdlib>

using namespace genswf;

namespace addin {

namespace {

constexpr unsigned kMakerPage = 10137;

}  // namespace

const std::vector<int>& CPublishDialog::LongFormControls() {
    static const std::vector<int> controls = {206, 207, 208, 209, 210, 211, 225, 216, 217,
                                              219, 220, 221, 222, 223, 226, 227, 228};
    return controls;
}

int SloganIndex(int randomValue, int count) {
    if (count <= 0) return 0;
    // Scaled over the generator's whole range; rand() * count would overflow where RAND_MAX is
    // large.
    const long long index =
        static_cast<long long>(randomValue < 0 ? 0 : randomValue) * count / (static_cast<long long>(RAND_MAX) + 1);
    return static_cast<int>(index < count ? index : count - 1);
}

CPublishDialog::CPublishDialog(PowerPoint::_Presentation* presentation, PowerPoint::SlideRange* slideRange,
                               CSettings* settings)
    : CDialogModel(IDD), settings(settings), slideRange(slideRange), presentation(presentation) {
    if (!presentation) THROW_PPT_EXCEPTION();
    presentationName = GetPresentationBaseName(presentation);
    outputFilePath = IncludeTrailingBackslash(settings->OutputFolder) + presentationName + L".swf";
    exportMode = settings->ExportMode;
    int width = 0;
    int height = 0;
    if (GetPresentationSlideSize(presentation, width, height)) {
        settings->MovieWidth = width;
        settings->MovieHeight = height;
    }
}

CPublishDialog::~CPublishDialog() = default;

void CPublishDialog::OnInitDialog() {
    automaticSlideTransition = settings->AutomaticSlideTransition;
    CheckItem(IDC_AUTO_TRANSITION, automaticSlideTransition);

    // The banner's slogan.
    static const wchar_t* const kSlogans[] = {L"IDS_SLOGAN0", L"IDS_SLOGAN1", L"IDS_SLOGAN2",  L"IDS_SLOGAN3",
                                              L"IDS_SLOGAN4", L"IDS_SLOGAN5", L"IDS_SLOGAN6",  L"IDS_SLOGAN7",
                                              L"IDS_SLOGAN8", L"IDS_SLOGAN9", L"IDS_SLOGAN10", L"IDS_SLOGAN11"};
    static_assert(sizeof kSlogans / sizeof kSlogans[0] == kSloganCount, "one name per slogan");
    const int slogan = SloganIndex(std::rand(), kSloganCount);
    const std::wstring text = GetLanguageManager()->GetMessageString(kSlogans[slogan]);
    bannerLines.clear();
    std::wstring line;
    for (wchar_t c : text) {
        if (c == L'\n') {
            bannerLines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    bannerLines.push_back(line);

    SetItemText(IDC_FILE_NAME, outputFilePath);
    Control(IDC_FILE_NAME).enabled = true;
    const int radios[] = {IDC_ALL_SLIDES, IDC_SELECTED_SLIDES, IDC_CURRENT_SLIDE};
    if (exportMode >= 0 && exportMode <= 2) CheckRadioButton(IDC_ALL_SLIDES, IDC_CURRENT_SLIDE, radios[exportMode]);

    RefreshDimensions();
    automaticSlideTransitionDelay = settings->AutomaticSlideTransitionDelay;
    SetItemText(IDC_DURATION, IntToWString(automaticSlideTransitionDelay));
    EnableDurationControls();
    SetForm(settings->PublishDialogShrinked);
}

void CPublishDialog::RefreshDimensions() {
    const long long scale = settings->Scale;
    SetItemText(IDC_SCALE, IntToWString(settings->Scale));
    SetItemText(IDC_HEIGHT, IntToWString(static_cast<int>(settings->MovieHeight * scale / 100)));
    SetItemText(IDC_WIDTH, IntToWString(static_cast<int>(settings->MovieWidth * scale / 100)));
}

void CPublishDialog::EnableDurationControls() {
    EnableItem(IDC_DURATION, automaticSlideTransition);
    EnableItem(IDC_DURATION_LABEL, automaticSlideTransition);
    EnableItem(IDC_SECONDS_LABEL, automaticSlideTransition);
}

void CPublishDialog::SetForm(int newForm) {
    if (newForm == 0 || newForm == 1) {
        shrinked = newForm;
        for (int id : LongFormControls()) ShowItem(id, newForm == 0);
        ShowItem(IDC_MORE, newForm == 1);
        ShowItem(IDC_LESS, newForm == 0);
    }
    SetFocusItem(ui::IDOK);
}

void CPublishDialog::OnBrowseResult(const std::wstring& path) {
    if (path.empty()) return;
    outputFilePath = path;
    SetItemText(IDC_FILE_NAME, path);
}

void CPublishDialog::OnBannerClick() { ShellOpen(GetLanguageManager()->LoadString(kMakerPage)); }

bool CPublishDialog::OnCommand(int id, int notifyCode) {
    switch (id) {
    case ui::IDOK:
        OnPublish();
        return true;
    case ui::IDCANCEL:
        EndDialog(ui::IDCANCEL);
        return true;
    case IDC_MORE:
        SetForm(0);
        return true;
    case IDC_LESS:
        SetForm(1);
        return true;
    case IDC_AUTO_TRANSITION:
        automaticSlideTransition = !automaticSlideTransition;
        CheckItem(IDC_AUTO_TRANSITION, automaticSlideTransition);
        EnableDurationControls();
        return true;
    case IDC_ALL_SLIDES:
    case IDC_SELECTED_SLIDES:
    case IDC_CURRENT_SLIDE:
        exportMode = id == IDC_ALL_SLIDES ? 0 : id == IDC_SELECTED_SLIDES ? 1 : 2;
        CheckRadioButton(IDC_ALL_SLIDES, IDC_CURRENT_SLIDE, id);
        return true;
    case IDC_DURATION:
        if (notifyCode != ui::EN_CHANGE) return false;
        automaticSlideTransitionDelay = WStringToInt(GetItemText(IDC_DURATION));
        return true;
    case kBannerClick:
        OnBannerClick();
        return true;
    default:
        return false;
    }
}

void CPublishDialog::OnPublish() {
    // A movie cannot be written without a name, and an automatic transition of 0 (or of a
    // negative or unreadable delay) would never let the slides move on as asked.
    validationError.clear();
    if (Trim(outputFilePath).empty()) {
        validationError = L"No output file is given.";
        return;
    }
    const bool delayValid = automaticSlideTransitionDelay >= static_cast<int>(CSettings::kMinTransitionDelay) &&
                            automaticSlideTransitionDelay <= static_cast<int>(CSettings::kMaxTransitionDelay);
    if (automaticSlideTransition && !delayValid) {
        validationError = L"The slide duration must be a whole number of seconds from " +
                          IntToWString(CSettings::kMinTransitionDelay) + L" to " +
                          IntToWString(CSettings::kMaxTransitionDelay) + L".";
        return;
    }
    settings->ExportMode = exportMode;
    settings->PublishDialogShrinked = shrinked;
    // An unused, unreadable delay keeps the one saved before.
    if (delayValid) settings->AutomaticSlideTransitionDelay = automaticSlideTransitionDelay;
    settings->AutomaticSlideTransition = automaticSlideTransition;
    settings->OutputFilePath = outputFilePath;
    settings->OutputFolder = GetFolderOfPath(outputFilePath);
    settings->PresentationName = presentationName;
    if (saveOnPublish) settings->Save();
    EndDialog(ui::IDOK);
}

}  // namespace addin
