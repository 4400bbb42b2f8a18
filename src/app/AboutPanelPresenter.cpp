#include "AboutPanelPresenter.h"

#include <QApplication>
#include <QColor>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#ifndef PLENVO_BUILD_NUMBER
#define PLENVO_BUILD_NUMBER ""
#endif

namespace {

const QString iconResource = QStringLiteral(":/plenvo/plenvo.svg");

// Rich text takes opaque colours best: a translucent role is laid over the window colour.
QString opaqueName(QColor color, const QColor &background)
{
    if (color.alpha() < 255) {
        const double a = color.alphaF();
        color = QColor::fromRgbF(float(color.redF() * a + background.redF() * (1 - a)),
            float(color.greenF() * a + background.greenF() * (1 - a)),
            float(color.blueF() * a + background.blueF() * (1 - a)));
    }
    return color.name(QColor::HexRgb);
}

QLabel *centredLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignHCenter);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QDialog *buildPanel(QWidget *parent)
{
    const AboutPanelPresenter::Texts t = AboutPanelPresenter::texts(AboutPanelPresenter::shortVersion(),
        AboutPanelPresenter::buildNumber(), parent ? parent->palette() : QApplication::palette());

    auto *dialog = new QDialog(parent);
    dialog->setObjectName(QStringLiteral("pdf-about"));
    dialog->setWindowTitle(QStringLiteral("关于Plenvo"));
    dialog->setModal(false);

    auto *icon = new QLabel(dialog);
    icon->setPixmap(QIcon(iconResource).pixmap(64, 64));
    icon->setAlignment(Qt::AlignHCenter);

    QLabel *name = centredLabel(t.applicationName, dialog);
    QFont nameFont = name->font();
    nameFont.setBold(true);
    nameFont.setPixelSize(16);
    name->setFont(nameFont);
    name->setObjectName(QStringLiteral("pdf-about-name"));

    QLabel *version = centredLabel(t.version, dialog);
    version->setObjectName(QStringLiteral("pdf-about-version"));

    auto *credits = new QLabel(t.credits, dialog);
    credits->setObjectName(QStringLiteral("pdf-about-credits"));
    credits->setTextFormat(Qt::RichText);
    credits->setAlignment(Qt::AlignHCenter);
    credits->setTextInteractionFlags(Qt::TextBrowserInteraction);
    credits->setOpenExternalLinks(false);
    QObject::connect(
        credits, &QLabel::linkActivated, credits, [](const QString &link) { QDesktopServices::openUrl(QUrl(link)); });

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::hide);
    buttons->setCenterButtons(true);

    auto *layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(32, 24, 32, 16);
    layout->addWidget(icon);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addSpacing(8);
    layout->addWidget(credits);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    return dialog;
}

} // namespace

namespace AboutPanelPresenter {

QUrl homePage()
{
    return QUrl(QStringLiteral("https://plenvo.org"));
}

QString shortVersion()
{
    return QCoreApplication::applicationVersion();
}

QString buildNumber()
{
    return QStringLiteral(PLENVO_BUILD_NUMBER);
}

Texts texts(const QString &shortVersion, const QString &buildNumber, const QPalette &palette, const QUrl &homePage)
{
    Texts t;
    t.applicationName = QStringLiteral("Plenvo");
    t.applicationVersion = shortVersion.isEmpty() ? QStringLiteral("开发版") : shortVersion;
    const QString build = buildNumber.isEmpty() ? QStringLiteral("—") : buildNumber;
    t.version = QStringLiteral("版本 ") + t.applicationVersion + QStringLiteral("（") + build + QStringLiteral("）");

    const QColor window = palette.color(QPalette::Window);
    const QString secondary = opaqueName(palette.color(QPalette::PlaceholderText), window);
    t.credits = QStringLiteral("<p style=\"margin:0; font-size:12px; color:%1;\">"
                               "大图纸 PDF 查看器<br>所有文档只在本机处理<br></p>")
                    .arg(secondary);
    if (homePage.isValid() && !homePage.isRelative()) {
        const QString address = homePage.toString(QUrl::FullyEncoded).toHtmlEscaped();
        t.credits
            += QStringLiteral("<p style=\"margin:0; font-size:12px; font-weight:500;\">"
                              "<a href=\"%1\" style=\"color:%2; text-decoration:underline;\">%3</a></p>")
                   .arg(address, opaqueName(palette.color(QPalette::Link), window), homePage.host().toHtmlEscaped());
    }
    return t;
}

QWidget *show(QWidget *parent)
{
    // One panel per parent window; the panel dies with it.
    static QPointer<QDialog> panel;
    if (panel && panel->parentWidget() != parent) {
        panel->deleteLater();
        panel = nullptr;
    }
    if (!panel)
        panel = buildPanel(parent);
    panel->show();
    panel->raise();
    panel->activateWindow();
    return panel;
}

} // namespace AboutPanelPresenter
