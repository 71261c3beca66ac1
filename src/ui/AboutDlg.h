// SPDX-License-Identifier: MIT
// "Things to Read": the program's readme, the credits, and a link to the project's page.
#pragma once

#include "mods/ModKeys.h"
#include "ui/DibImage.h"
#include "ui/SkinDialog.h"

#include <QString>
#include <QUrl>

#include <array>
#include <functional>
#include <string>

namespace tolmere {

enum AboutDlgControl : int {
    kAboutText = 1019,
    kAboutOk = 1,
    kAboutCopyrights = 1012,
};

class CAboutDlg : public CSkinDialog {
    Q_OBJECT
public:
    static const DialogTemplate kTemplate;

    // Where the "Update Page" link is drawn, in client pixels.
    static constexpr int kLinkLeft = 460;
    static constexpr int kLinkTop = 196;

    // The credit lines are taken from the catalogue now; it need not outlive the dialog.
    explicit CAboutDlg(const CModKeys& keys, QWidget* parent = nullptr);

    // Opens the project's page; the desktop's URL handler unless replaced. Returns the
    // opener it replaces.
    using UrlOpener = std::function<bool(const QUrl&)>;
    static UrlOpener SetUrlOpener(UrlOpener opener);

    // The project's README shipped with the program, as a file URL; empty when it is
    // in neither place it is installed to.
    static QUrl UpdatePageUrl();

    // The credits and the catalogue's credit lines as the "Copyrights" command shows them.
    static QString CreditsText(const std::array<std::string, CModKeys::kCreditLines>& creditLines);

    // The link's hot rectangle in client pixels. Right and bottom are -1 until the link
    // has been painted once, so that no point is inside it before then.
    InclusiveRect LinkRect() const { return link_; }
    // Both edges exclusive, in client pixels.
    bool InLink(const QPoint& clientPoint) const;

protected:
    void OnInitDialog() override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool IsClickable(const QPoint& point) const override;

private:
    void ShowCredits();
    QPoint ToClient(const QPoint& windowPoint) const;

    std::array<std::string, CModKeys::kCreditLines> creditLines_;
    InclusiveRect link_{kLinkLeft, kLinkTop, -1, -1};
};

} // namespace tolmere
