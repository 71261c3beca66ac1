// SPDX-License-Identifier: MIT
#include "ui/AboutDlg.h"

#include "base/Services.h"
#include "images/Resources.h"
#include "ui/ScreenText.h"
#include "ui/SkinLook.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QTextBrowser>

namespace tolmere {
namespace {

const QString kLinkCaption = QStringLiteral("Update Page");

CAboutDlg::UrlOpener& CurrentOpener() {
    static CAboutDlg::UrlOpener opener = [](const QUrl& url) {
        return QDesktopServices::openUrl(url);
    };
    return opener;
}

} // namespace

const DialogTemplate CAboutDlg::kTemplate{
    104,
    "Things to Read",
    370,
    206,
    {
        {kAboutText, ControlKind::kRichText, "", 6, 7, 292, 185},
        {kAboutOk, ControlKind::kSkinButton, "OK", 304, 7, 50, 14},
        {kAboutCopyrights, ControlKind::kSkinButton, "&Copyrights", 304, 22, 50, 14},
    }};

CAboutDlg::CAboutDlg(const CModKeys& keys, QWidget* parent)
    : CSkinDialog(kTemplate, parent), creditLines_(keys.CreditLines()) {
    OnCommand(kAboutCopyrights, [this] { ShowCredits(); });
}

CAboutDlg::UrlOpener CAboutDlg::SetUrlOpener(UrlOpener opener) {
    UrlOpener previous = std::move(CurrentOpener());
    CurrentOpener() = std::move(opener);
    return previous;
}

QUrl CAboutDlg::UpdatePageUrl() {
    const std::string& dir = ModuleDir();
    // Without the program's directory a relative name would depend on where it started.
    if (dir.empty())
        return {};
    for (const char* place : {"README.md", "../share/doc/tolmere/README.md"}) {
        const QFileInfo file(QFile::decodeName((dir + place).c_str()));
        if (file.isFile())
            return QUrl::fromLocalFile(QDir::cleanPath(file.absoluteFilePath()));
    }
    return {};
}

QString CAboutDlg::CreditsText(const std::array<std::string, CModKeys::kCreditLines>& lines) {
    std::string bytes = DecodeEmbeddedResource(kCreditsResource).value_or(std::string());
    bytes += '\t' + lines[0] + "\r\n\t" + lines[1] + "\r\n\t" + lines[2];
    // The credits are the modder's bytes as much as ours: UTF-8 where they are, and
    // otherwise each byte stands for itself.
    QString text = IsValidUtf8(bytes)
                       ? QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()))
                       : QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    // A plain-text document breaks lines at LF only; a CR left in would show as a glyph.
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

bool CAboutDlg::InLink(const QPoint& p) const {
    return p.x() > link_.left && p.x() < link_.right && p.y() > link_.top && p.y() < link_.bottom;
}

QPoint CAboutDlg::ToClient(const QPoint& windowPoint) const {
    return windowPoint - QPoint(kSkinFrame.left(), kSkinFrame.top());
}

bool CAboutDlg::IsClickable(const QPoint& point) const {
    return InLink(ToClient(point));
}

void CAboutDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    auto* text = ControlAs<QTextBrowser>(kAboutText);
    text->setReadOnly(true);
    // The credit lines are indented by a tab; half an inch, as the platform's rich text
    // boxes set their stops, rather than Qt's wider default.
    text->setTabStopDistance(48);
    const std::string readme = DecodeEmbeddedResource(kReadmeResource).value_or(std::string());
    text->setHtml(QString::fromUtf8(readme.data(), static_cast<qsizetype>(readme.size())));
    Control(kAboutOk)->setFocus();
}

void CAboutDlg::ShowCredits() {
    // The whole content is replaced, so pressing the button again shows the same text.
    ControlAs<QTextBrowser>(kAboutText)->setPlainText(CreditsText(creditLines_));
}

void CAboutDlg::paintEvent(QPaintEvent* event) {
    CSkinDialog::paintEvent(event);
    QPainter painter(this);
    painter.translate(kSkinFrame.left(), kSkinFrame.top());
    painter.setFont(font());
    painter.setPen(skin::kLinkText);
    painter.setBackgroundMode(Qt::TransparentMode);
    const QFontMetrics metrics(font());
    const QRect text(kLinkLeft, kLinkTop, metrics.horizontalAdvance(kLinkCaption),
                     metrics.height());
    painter.drawText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
                     kLinkCaption);
    // Right and bottom as the edges just past the text; the underline runs along the
    // bottom one and turns up at its end.
    const int right = text.left() + text.width();
    const int bottom = text.top() + text.height();
    painter.drawLine(text.left() + 1, bottom, right + 3, bottom);
    painter.drawLine(right + 3, bottom, right + 3, bottom - 5);
    link_ = {kLinkLeft, kLinkTop, right + 2, bottom - 1};
}

void CAboutDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && IsClickable(event->position().toPoint())) {
        // The release opens the page; the press only keeps the window from being dragged.
        event->accept();
        return;
    }
    CSkinDialog::mousePressEvent(event);
}

void CAboutDlg::mouseMoveEvent(QMouseEvent* event) {
    setCursor(IsClickable(event->position().toPoint()) ? Qt::PointingHandCursor : Qt::ArrowCursor);
    CSkinDialog::mouseMoveEvent(event);
}

void CAboutDlg::mouseReleaseEvent(QMouseEvent* event) {
    const bool open = event->button() == Qt::LeftButton && IsClickable(event->position().toPoint());
    // The base still ends any drag, wherever the button comes up.
    CSkinDialog::mouseReleaseEvent(event);
    if (!open)
        return;
    event->accept();
    const QUrl url = UpdatePageUrl();
    if (url.isEmpty() || !CurrentOpener())
        return;
    CurrentOpener()(url);
}

} // namespace tolmere
