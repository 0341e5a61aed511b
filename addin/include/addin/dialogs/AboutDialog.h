#pragma once
// The About box: a picture with four link areas (maker, product, compiler, support mail).

#include "ui/DialogModel.h"

#include <string>
#include <vector>

namespace addin {

struct CAboutLink {
    int left, top, right, bottom;  // client pixels; right and bottom exclusive
    std::wstring url;
    std::wstring tooltip;
};

class CAboutDialog : public ui::CDialogModel {
public:
    static constexpr int IDD = 104;

    CAboutDialog();

    void OnInitDialog() override;
    bool OnCommand(int id, int notifyCode) override;
    // Index of the first link area holding the point; -1 when none.
    int HitTest(int x, int y) const;
    // A click: opens the link under the point; false when there is none.
    bool OnLButtonDown(int x, int y);

    const std::vector<CAboutLink>& GetLinks() const { return links; }

private:
    std::vector<CAboutLink> links;
};

}  // namespace addin
