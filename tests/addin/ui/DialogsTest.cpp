#include "UiTestSupport.h"

#include "addin/dialogs/AboutDialog.h"
#include "addin/dialogs/ErrorReportDialog.h"
#include "addin/dialogs/OptionsDialog.h"
#include "addin/dialogs/PublishDialog.h"
#include "genswf/utils/Exceptions.h"
#include "genswf/utils/PresentationUtils.h"
#include "powerpoint/host/PowerPointHost.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>
#include <climits>
#include <cstdlib>

using namespace addin;

namespace {

using PowerPoint::Host::CHostDocument;

TEST(PublishDialog, ProposesTheOutputAndShowsTheForms) {
    CUiTestInstallation install;
    install.settings.OutputFolder = L"/srv/movies";  // no trailing separator
    install.settings.PublishDialogShrinked = 1;
    install.settings.Scale = 50;
    auto document = CHostDocument::Create();
    document->name = L"Quarterly.ppt";
    CPublishDialog dialog(document->Presentation(), nullptr, &install.settings);
    int width = 0, height = 0;
    ASSERT_TRUE(genswf::GetPresentationSlideSize(document->Presentation(), width, height));
    EXPECT_EQ(install.settings.MovieWidth, width);  // taken before the dialog shows
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.GetItemText(CPublishDialog::IDC_FILE_NAME), L"/srv/movies/Quarterly.swf");
    EXPECT_EQ(dialog.GetItemText(CPublishDialog::IDC_WIDTH), genswf::IntToWString(width / 2));
    EXPECT_EQ(dialog.GetItemText(CPublishDialog::IDC_HEIGHT), genswf::IntToWString(height / 2));

    // Short form: the 17 controls hidden, More shown; More brings them and Less back.
    for (int id : CPublishDialog::LongFormControls()) EXPECT_FALSE(dialog.IsItemVisible(id)) << id;
    EXPECT_TRUE(dialog.IsItemVisible(CPublishDialog::IDC_MORE));
    EXPECT_FALSE(dialog.IsItemVisible(CPublishDialog::IDC_LESS));
    dialog.OnCommand(CPublishDialog::IDC_MORE, 0);
    for (int id : CPublishDialog::LongFormControls()) EXPECT_TRUE(dialog.IsItemVisible(id)) << id;
    EXPECT_FALSE(dialog.IsItemVisible(CPublishDialog::IDC_MORE));
    EXPECT_TRUE(dialog.IsItemVisible(CPublishDialog::IDC_LESS));
    EXPECT_EQ(dialog.GetFocusItem(), ui::IDOK);

    // The slogan index stays in range whatever the generator gives.
    for (int r : {0, 1, RAND_MAX / 2, RAND_MAX}) {
        EXPECT_GE(SloganIndex(r, 12), 0);
        EXPECT_LT(SloganIndex(r, 12), 12);
    }
    EXPECT_EQ(SloganIndex(RAND_MAX, 12), 11);
    EXPECT_FALSE(dialog.GetBannerLines().empty());
}

TEST(PublishDialog, PublishSavesTheChoicesAndCancelSavesNothing) {
    CUiTestInstallation install;
    install.settings.OutputFolder = L"/srv/movies/";
    install.settings.AutomaticSlideTransition = true;
    install.settings.AutomaticSlideTransitionDelay = 5;
    auto document = CHostDocument::Create();
    document->name = L"Deck.ppt";
    {
        CPublishDialog dialog(document->Presentation(), nullptr, &install.settings);
        dialog.OnInitDialog();
        dialog.OnCommand(CPublishDialog::IDC_CURRENT_SLIDE, 0);
        dialog.OnCommand(CPublishDialog::IDC_AUTO_TRANSITION, 0);  // unticked: duration disabled
        for (int id :
             {CPublishDialog::IDC_DURATION, CPublishDialog::IDC_DURATION_LABEL, CPublishDialog::IDC_SECONDS_LABEL})
            EXPECT_FALSE(dialog.IsItemEnabled(id)) << id;
        dialog.SetItemText(CPublishDialog::IDC_DURATION, L"9");
        dialog.OnCommand(CPublishDialog::IDC_DURATION, ui::EN_CHANGE);
        dialog.OnCommand(ui::IDCANCEL, 0);
        EXPECT_EQ(dialog.GetResult(), ui::IDCANCEL);
    }
    CSettings saved;
    saved.Load();
    EXPECT_EQ(saved.ExportMode, 0);
    EXPECT_EQ(install.settings.ExportMode, 0);

    CPublishDialog dialog(document->Presentation(), nullptr, &install.settings);
    dialog.OnInitDialog();
    dialog.OnCommand(CPublishDialog::IDC_CURRENT_SLIDE, 0);
    dialog.OnCommand(CPublishDialog::IDC_AUTO_TRANSITION, 0);
    dialog.SetItemText(CPublishDialog::IDC_DURATION, L"9");
    dialog.OnCommand(CPublishDialog::IDC_DURATION, ui::EN_CHANGE);
    dialog.OnBrowseResult(L"/tmp/elsewhere/Deck movie.swf");
    dialog.OnCommand(ui::IDOK, 0);
    EXPECT_EQ(dialog.GetResult(), ui::IDOK);
    EXPECT_EQ(install.settings.OutputFilePath, L"/tmp/elsewhere/Deck movie.swf");
    EXPECT_EQ(install.settings.PresentationName, L"Deck");
    saved.Load();
    EXPECT_EQ(saved.ExportMode, 2);
    EXPECT_EQ(saved.OutputFolder, L"/tmp/elsewhere");
    EXPECT_FALSE(saved.AutomaticSlideTransition);
    EXPECT_EQ(saved.AutomaticSlideTransitionDelay, 9);  // typed while unticked, still kept
}

TEST(PublishDialog, RefusesDelaysThatWouldStopTheMovie) {
    CUiTestInstallation install;
    auto document = CHostDocument::Create();
    for (const wchar_t* delay : {L"0", L"-3", L"abc", L"3601"}) {
        CPublishDialog dialog(document->Presentation(), nullptr, &install.settings);
        dialog.OnInitDialog();
        if (!dialog.GetAutomaticSlideTransition()) dialog.OnCommand(CPublishDialog::IDC_AUTO_TRANSITION, 0);
        dialog.SetItemText(CPublishDialog::IDC_DURATION, delay);
        dialog.OnCommand(CPublishDialog::IDC_DURATION, ui::EN_CHANGE);
        dialog.OnCommand(ui::IDOK, 0);
        EXPECT_FALSE(dialog.IsEnded()) << genswf::Utf8FromWide(delay);
        EXPECT_FALSE(dialog.GetValidationError().empty());
    }
}

TEST(PublishDialog, UnreadableNameThrowsThePowerPointFailure) {
    CUiTestInstallation install;
    auto document = CHostDocument::Create();
    document->Fail("Presentation.get_Name", E_FAIL);
    EXPECT_THROW(CPublishDialog(document->Presentation(), nullptr, &install.settings), genswf::CPPTException);
    EXPECT_THROW(CPublishDialog(nullptr, nullptr, &install.settings), genswf::CPPTException);
}

TEST(OptionsDialog, QualityControlsAndOkCancel) {
    CUiTestInstallation install;
    install.settings.ImageQuality = 75;
    {
        COptionsDialog dialog(&install.settings);
        dialog.OnInitDialog();
        EXPECT_EQ(dialog.GetItemText(COptionsDialog::IDC_IMAGE_QUALITY_VALUE), L"75%");
        EXPECT_EQ(dialog.GetItemText(COptionsDialog::IDC_MIN_SLIDE_TIME), L"5.0");
        dialog.OnCommand(COptionsDialog::IDC_KEEP_IMAGE_QUALITY, 0);
        for (int id : {COptionsDialog::IDC_IMAGE_QUALITY, COptionsDialog::IDC_LOW, COptionsDialog::IDC_HIGH,
                       COptionsDialog::IDC_IMAGE_QUALITY_VALUE})
            EXPECT_FALSE(dialog.IsItemEnabled(id)) << id;
        dialog.OnCommand(COptionsDialog::IDC_KEEP_IMAGE_QUALITY, 0);
        EXPECT_TRUE(dialog.IsItemEnabled(COptionsDialog::IDC_IMAGE_QUALITY));
        dialog.OnCommand(COptionsDialog::IDC_KEEP_IMAGE_QUALITY, 0);
        dialog.OnCommand(ui::IDCANCEL, 0);
    }
    CSettings saved;
    saved.Load();
    EXPECT_FALSE(saved.KeepOriginalImageQuality);
    EXPECT_FALSE(install.settings.KeepOriginalImageQuality);

    COptionsDialog dialog(&install.settings);
    dialog.OnInitDialog();
    dialog.OnImageQualityScroll(140);  // clamped to the slider's range
    EXPECT_EQ(dialog.GetItemText(COptionsDialog::IDC_IMAGE_QUALITY_VALUE), L"100%");
    dialog.OnCommand(COptionsDialog::IDC_KEEP_IMAGE_QUALITY, 0);
    dialog.OnCommand(ui::IDOK, 0);
    saved.Load();
    EXPECT_TRUE(saved.KeepOriginalImageQuality);
    EXPECT_EQ(install.settings.ImageQuality, 75);  // the refresh on ticking reset the slider
}

TEST(ErrorReportDialog, MailLinkEscapesCaptionAndReport) {
    CUiTestInstallation install;
    CErrorReportDialog dialog(L"Bad & worse", L"line one\r\nline two: 50% {x}?a=b");
    dialog.OnInitDialog();
    EXPECT_FALSE(dialog.IsItemVisible(CErrorReportDialog::IDC_DETAILS));
    EXPECT_EQ(dialog.GetItemText(CErrorReportDialog::IDC_MORE), L"More >>");
    dialog.OnCommand(CErrorReportDialog::IDC_MORE, 0);
    EXPECT_TRUE(dialog.IsItemVisible(CErrorReportDialog::IDC_DETAILS));
    EXPECT_EQ(dialog.GetItemText(CErrorReportDialog::IDC_MORE), L"<< Less");

    const std::wstring report = dialog.BuildReport();
    EXPECT_NE(report.find(L"Bad & worse"), std::wstring::npos);
    EXPECT_NE(report.find(L"line two: 50% {x}?a=b"), std::wstring::npos);
    EXPECT_EQ(report.find(L"{BRINDLECAST_VERSION}"), std::wstring::npos);

    const std::wstring link = dialog.BuildMailLink();
    EXPECT_EQ(
        link.rfind(L"mailto:support@brindlecast.example?subject=\"Bad%20%26%20worse[Error Report Roru]\"&body=\"", 0),
        0u)
        << genswf::Utf8FromWide(link);
    EXPECT_NE(link.find(L"line%20one%0d%0aline%20two:%2050%25%20%7bx%7d%3fa%3db"), std::wstring::npos)
        << genswf::Utf8FromWide(link);
    EXPECT_EQ(link.back(), L'"');
}

TEST(ErrorReportDialog, LinkKeepsFragmentPlusAndQuotesInsideItsTexts) {
    CUiTestInstallation install;
    // A message that names a placeholder is shown as it is, not expanded into itself.
    CErrorReportDialog dialog(L"Slide #2 \"A+B\"", L"see {ERR_MESSAGE} and {ERR_DESCRIPTION}");
    const std::wstring report = dialog.BuildReport();
    EXPECT_NE(report.find(L"Slide #2 \"A+B\""), std::wstring::npos);
    EXPECT_NE(report.find(L"see {ERR_MESSAGE} and {ERR_DESCRIPTION}"), std::wstring::npos)
        << genswf::Utf8FromWide(report);
    EXPECT_EQ(report.find(L"see Slide"), std::wstring::npos);

    const std::wstring link = dialog.BuildMailLink();
    EXPECT_EQ(
        link.rfind(L"mailto:support@brindlecast.example?subject=\"Slide%20%232%20%22A%2bB%22[Error Report Roru]\"", 0),
        0u)
        << genswf::Utf8FromWide(link);
    // Only the template's own quotes are left: around the subject and around the body.
    EXPECT_EQ(std::count(link.begin(), link.end(), L'"'), 4);
    EXPECT_EQ(link.find(L'#'), std::wstring::npos);
    EXPECT_EQ(link.find(L'+'), std::wstring::npos);
    EXPECT_NE(link.find(L"see%20%7bERR_MESSAGE%7d"), std::wstring::npos) << genswf::Utf8FromWide(link);
}

TEST(ErrorReportDialog, CancelEndsWithTwoAndOpensNothing) {
    CUiTestInstallation install;
    CScratchFolder folder;
    const std::string log = folder.Native() + "/log";
    const std::string script = folder.Native() + "/opener";
    WriteBytes(script, "#!/bin/sh\necho \"$1\" >> '" + log + "'\n");
    ASSERT_EQ(::chmod(script.c_str(), 0700), 0);
    CEnvOverride opener("BRINDLECAST_OPENER", script.c_str());
    CErrorReportDialog dialog(L"caption", L"description");
    dialog.OnInitDialog();
    dialog.OnCommand(ui::IDCANCEL, 0);
    EXPECT_EQ(dialog.GetResult(), ui::IDCANCEL);
    EXPECT_FALSE(genswf::FileExists(genswf::WideFromUtf8(log)));
    CErrorReportDialog send(L"caption", L"description");
    send.OnInitDialog();
    send.OnCommand(CErrorReportDialog::IDC_SEND_REPORT, 0);
    EXPECT_EQ(send.GetResult(), CErrorReportDialog::IDC_SEND_REPORT);
    std::vector<std::uint8_t> opened;
    ASSERT_TRUE(genswf::ReadWholeFile(genswf::WideFromUtf8(log), opened));
    EXPECT_EQ(std::string(opened.begin(), opened.begin() + 7), "mailto:");
}

TEST(AboutDialog, LinkAreasAndClicks) {
    CUiTestInstallation install;
    CAboutDialog dialog;
    dialog.OnInitDialog();
    ASSERT_EQ(dialog.GetLinks().size(), 4u);
    EXPECT_EQ(dialog.GetLinks()[0].url, L"https://ombrel-works.example/");
    EXPECT_EQ(dialog.GetLinks()[3].url.rfind(L"mailto:support@brindlecast.example?subject=\"General%20question", 0),
              0u);
    const struct {
        int x, y, link;
    } points[] = {{285, 99, 0},  {397, 111, 0}, {398, 99, -1},  {300, 35, 1},
                  {300, 160, 2}, {300, 210, 3}, {284, 210, -1}, {0, 0, -1}};
    for (const auto& p : points) EXPECT_EQ(dialog.HitTest(p.x, p.y), p.link) << p.x << "," << p.y;
    EXPECT_FALSE(dialog.OnLButtonDown(10, 10));
}

}  // namespace
