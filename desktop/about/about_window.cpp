#include "desktop/about/about_window.h"

#include "desktop/appearance/appearance.h"
#include "desktop/appearance/tray_pictures.h"
#include "engine/platform/install_layout.h"
#include "engine/version.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>

namespace trellisk {

namespace {

constexpr int kClientWidth = 301;
constexpr int kClientHeight = 112;
constexpr int kLinkLeft = 64;
constexpr int kLinkMargin = 8;

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1StringView(name));
    label->move(x, y);
    return label;
}

} // namespace

QUrl DocumentationAddress(const QDir& executableDirectory) {
    const QString readme = QStringLiteral("README.md");
    for (const QString& candidate :
         {readme, QLatin1StringView(platform::kDocumentationFromExecutable) + u'/' + readme}) {
        const QFileInfo file(executableDirectory.filePath(candidate));
        if (file.isFile())
            return QUrl::fromLocalFile(file.canonicalFilePath());
    }
    return {};
}

AboutWindow::AboutWindow(QWidget* mainWindow, QUrl address)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      mainWindow_(mainWindow), address_(std::move(address)) {
    setObjectName(QStringLiteral("aboutWindow"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setWindowIcon(ProgramIcon());
    setFixedSize(kClientWidth, kClientHeight);

    QLabel* label1 = MakeLabel(this, "nameLabel",
                               QStringLiteral("Trellisk v") + QLatin1StringView(kVersion), 16, 8);
    label1->setFont(UiFont(16));
    label1->adjustSize();
    MakeLabel(this, "noticeLabel", QStringLiteral("フォルダ更新監視ツール"), 136, 48)->adjustSize();

    // The address is the text; a long one is elided in the middle and shown whole as a tip.
    const QString text = address_.toString();
    link_ = MakeLabel(this, "documentationLink", text, kLinkLeft, 80);
    SetCaptionTextBackground(*link_);
    QPalette palette = link_->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 128));
    link_->setPalette(palette);
    link_->setCursor(Qt::PointingHandCursor);
    const int room = kClientWidth - kLinkLeft - kLinkMargin;
    link_->setText(link_->fontMetrics().elidedText(text, Qt::ElideMiddle, room));
    link_->setToolTip(text);
    link_->setAccessibleName(text);
    link_->adjustSize();
    link_->installEventFilter(this);
    // Without a README there is nothing to offer rather than a link to a missing file.
    if (address_.isEmpty())
        link_->hide();
}

void AboutWindow::openDocumentation() {
    // Nothing is reported when no program opens the address.
    if (!address_.isEmpty())
        QDesktopServices::openUrl(address_);
}

bool AboutWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == link_ && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        openDocumentation();
    return QWidget::eventFilter(watched, event);
}

void AboutWindow::showEvent(QShowEvent* event) {
    if (!placed_) {
        placed_ = true;
        if (mainWindow_) {
            QRect frame = frameGeometry();
            frame.moveCenter(mainWindow_->frameGeometry().center());
            move(frame.topLeft());
        }
    }
    QWidget::showEvent(event);
}

} // namespace trellisk
