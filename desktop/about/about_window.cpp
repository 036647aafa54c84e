#include "desktop/about/about_window.h"

#include "desktop/appearance/appearance.h"
#include "desktop/appearance/tray_pictures.h"
#include "engine/version.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
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

QUrl DocumentationAddress() {
    return QUrl::fromLocalFile(
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("README.md")));
}

TForm3::TForm3(QWidget* mainWindow, QUrl address)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      mainWindow_(mainWindow), address_(std::move(address)) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setWindowIcon(ProgramIcon());
    setFixedSize(kClientWidth, kClientHeight);

    QLabel* label1 = MakeLabel(this, "Label1", QStringLiteral("Trellisk v") + QLatin1StringView(kVersion), 16, 8);
    label1->setFont(UiFont(16));
    label1->adjustSize();
    MakeLabel(this, "Label3", QStringLiteral("フォルダ更新監視ツール"), 136, 48)->adjustSize();

    // The address is the text; a long one is elided in the middle and shown whole as a tip.
    const QString text = address_.toString();
    Label2_ = MakeLabel(this, "Label2", text, kLinkLeft, 80);
    SetCaptionTextBackground(*Label2_);
    QPalette palette = Label2_->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 128));
    Label2_->setPalette(palette);
    Label2_->setCursor(Qt::PointingHandCursor);
    const int room = kClientWidth - kLinkLeft - kLinkMargin;
    Label2_->setText(Label2_->fontMetrics().elidedText(text, Qt::ElideMiddle, room));
    Label2_->setToolTip(text);
    Label2_->setAccessibleName(text);
    Label2_->adjustSize();
    Label2_->installEventFilter(this);
}

void TForm3::Label2Click() {
    // Nothing is reported when no program opens the address.
    QDesktopServices::openUrl(address_);
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label2_ && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        Label2Click();
    return QWidget::eventFilter(watched, event);
}

void TForm3::showEvent(QShowEvent* event) {
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
