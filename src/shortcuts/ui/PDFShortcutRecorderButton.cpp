#include "PDFShortcutRecorderButton.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>
#include <QWindow>

namespace {

// The application's brand colour, opaque sRGB.
const QColor kBrandPurple(107, 35, 142);
// Logical pixels. The focus ring is drawn outside the cap's border, so the cap sits inset by
// the ring's width and the gap between them.
constexpr qreal kCornerRadius = 7;
constexpr qreal kRingWidth = 2;
constexpr qreal kRingGap = 1;
constexpr qreal kTextPadding = 6;
constexpr qreal kDisabledOpacity = 0.45;

const char *const promptTitle = "请按新的组合键…";
const char *const recordingValue = "正在录制，按 Esc 取消";
const char *const cancelledMessage = "已取消录制。";
const char *const unsupportedMessage = "这个按键暂不支持，请换一个组合。";

// The shortcut text in a monospaced face, so key caps of one column line up.
QFont keyFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(13);
    font.setWeight(QFont::DemiBold);
    return font;
}

QFont promptFont()
{
    QFont font;
    font.setPixelSize(12);
    font.setWeight(QFont::Medium);
    return font;
}

// Keys that only change what another key means: pressed alone they are part of a combination
// still being formed, never a combination themselves.
bool isBareModifier(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
    case Qt::Key_Mode_switch:
    case Qt::Key_Direction_L:
    case Qt::Key_Direction_R:
        return true;
    default:
        return false;
    }
}

// A push button that also reports the recorder's value text (Qt's own button interface has
// none): the shortcut while idle, the recording prompt while recording.
class RecorderAccessible : public QAccessibleWidget {
public:
    explicit RecorderAccessible(PDFShortcutRecorderButton *button)
        : QAccessibleWidget(button, QAccessible::Button)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Value:
            return recorder()->accessibleValue();
        case QAccessible::Help: {
            const QString help = QAccessibleWidget::text(t);
            return help.isEmpty() ? recorder()->accessibleDescription() : help;
        }
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.pressed = recorder()->isDown();
        return state;
    }

    QStringList actionNames() const override { return QStringList(pressAction()) + QAccessibleWidget::actionNames(); }

    void doAction(const QString &actionName) override
    {
        if (actionName == pressAction()) {
            if (recorder()->isEnabled())
                recorder()->click();
            return;
        }
        QAccessibleWidget::doAction(actionName);
    }

private:
    PDFShortcutRecorderButton *recorder() const { return static_cast<PDFShortcutRecorderButton *>(widget()); }
};

QAccessibleInterface *accessibleFactory(const QString &className, QObject *object)
{
    if (className != QLatin1String(PDFShortcutRecorderButton::staticMetaObject.className()))
        return nullptr;
    auto *button = qobject_cast<PDFShortcutRecorderButton *>(object);
    return button ? new RecorderAccessible(button) : nullptr;
}

} // namespace

PDFShortcutRecorderButton::PDFShortcutRecorderButton(QWidget *parent)
    : QPushButton(parent)
{
    // Before anything asks for this button's interface: Qt caches the first one made.
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);

    setFocusPolicy(Qt::StrongFocus);
    // Return, like Space, clicks the focused key cap in any window, not only in dialogs.
    setAutoDefault(true);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFont(keyFont());
    setAccessibleName(QStringLiteral("快捷键"));
    setAccessibleDescription(QStringLiteral("点击后按新的组合键，按 Esc 取消"));
    connect(this, &QPushButton::clicked, this, &PDFShortcutRecorderButton::beginRecording);
}

PDFShortcutRecorderButton::~PDFShortcutRecorderButton()
{
    if (m_isRecordingShortcut)
        finishRecording();
}

void PDFShortcutRecorderButton::setDisplayText(const QString &text)
{
    m_displayText = text;
    if (m_isRecordingShortcut)
        return;
    setText(text);
    setAccessibleValue(text);
}

void PDFShortcutRecorderButton::setActionName(const QString &name)
{
    m_actionName = name;
    setAccessibleName(name + QStringLiteral("快捷键"));
}

bool PDFShortcutRecorderButton::isMonitoring() const
{
    return m_isFilteringApplication || bool(m_applicationStateConnection);
}

void PDFShortcutRecorderButton::beginRecording()
{
    if (m_isRecordingShortcut)
        return;
    m_isRecordingShortcut = true;
    setFont(promptFont());
    setText(QString::fromUtf8(promptTitle));
    setFocus(Qt::OtherFocusReason);
    setAccessibleValue(QString::fromUtf8(recordingValue));
    announce(QStringLiteral("正在录制“") + m_actionName + QStringLiteral("”快捷键，按 Esc 取消。"));

    m_applicationStateConnection
        = connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
              if (state != Qt::ApplicationActive)
                  cancelRecording();
          });
    QCoreApplication::instance()->installEventFilter(this);
    m_isFilteringApplication = true;
}

void PDFShortcutRecorderButton::finishRecording()
{
    if (m_isFilteringApplication) {
        QCoreApplication::instance()->removeEventFilter(this);
        m_isFilteringApplication = false;
    }
    disconnect(m_applicationStateConnection);
    m_applicationStateConnection = {};
    if (!m_isRecordingShortcut)
        return;

    m_isRecordingShortcut = false;
    setFont(keyFont());
    setText(m_displayText);
    setAccessibleValue(m_displayText);
}

void PDFShortcutRecorderButton::cancelRecording()
{
    if (!m_isRecordingShortcut)
        return;
    finishRecording();
    emit feedback(QString::fromUtf8(cancelledMessage));
    announce(QString::fromUtf8(cancelledMessage));
}

// Installed on the application only while recording. Key events are taken at their first
// receiver, the window or a widget in it, so neither Qt's shortcut map (which asks with
// ShortcutOverride first) nor any widget sees them.
bool PDFShortcutRecorderButton::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_isRecordingShortcut)
        return false;
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        if (!isInOwnWindow(watched))
            return false;
        event->accept();
        return true;
    case QEvent::KeyPress:
        if (!isInOwnWindow(watched))
            return false;
        capture(static_cast<const QKeyEvent &>(*event));
        return true;
    case QEvent::WindowDeactivate:
    case QEvent::Close:
    case QEvent::Hide:
        if (watched == window())
            cancelRecording();
        return false;
    default:
        return false;
    }
}

bool PDFShortcutRecorderButton::isInOwnWindow(const QObject *receiver) const
{
    if (receiver->isWidgetType())
        return static_cast<const QWidget *>(receiver)->window() == window();
    if (receiver->isWindowType()) {
        const QWindow *own = window()->windowHandle();
        const auto *target = static_cast<const QWindow *>(receiver);
        return own && (target == own || own->isAncestorOf(target));
    }
    return false;
}

void PDFShortcutRecorderButton::capture(const QKeyEvent &event)
{
    if (event.isAutoRepeat() || isBareModifier(event.key()))
        return;
    // Before converting: Escape gives U+001B, which would otherwise be a key like any other.
    if (event.key() == Qt::Key_Escape) {
        cancelRecording();
        return;
    }
    const std::optional<PDFViewerShortcut> shortcut = PDFViewerShortcut::fromEvent(event);
    if (!shortcut) {
        QApplication::beep();
        finishRecording();
        emit feedback(QString::fromUtf8(unsupportedMessage));
        announce(QString::fromUtf8(unsupportedMessage));
        return;
    }
    finishRecording();
    emit shortcutRecorded(*shortcut);
}

// Any focus loss ends a recording: a click elsewhere, a popup, the window losing activation.
void PDFShortcutRecorderButton::focusOutEvent(QFocusEvent *event)
{
    QPushButton::focusOutEvent(event);
    cancelRecording();
}

void PDFShortcutRecorderButton::setAccessibleValue(const QString &value)
{
    if (value == m_accessibleValue)
        return;
    m_accessibleValue = value;
    QAccessibleValueChangeEvent event(this, value);
    QAccessible::updateAccessibility(&event);
}

void PDFShortcutRecorderButton::announce(const QString &message) const
{
    if (m_announce)
        m_announce(message);
}

void PDFShortcutRecorderButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(kDisabledOpacity);

    const QPalette &colours = palette();
    const QColor text = colours.color(QPalette::Text);
    QColor border = m_isRecordingShortcut ? kBrandPurple : text;
    border.setAlphaF(m_isRecordingShortcut ? 0.6F : 0.22F);
    QColor fill = colours.color(QPalette::Base);
    if (isDown()) {
        // A pressed cap darkens (or, on a dark base, lightens) a little toward the text colour.
        fill.setRgbF(fill.redF() * 0.9F + text.redF() * 0.1F, fill.greenF() * 0.9F + text.greenF() * 0.1F,
            fill.blueF() * 0.9F + text.blueF() * 0.1F);
    }

    // The 1 px border is centred half a pixel inside the cap so it stays crisp.
    const qreal inset = kRingWidth + kRingGap + 0.5;
    const QRectF cap = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    painter.setPen(QPen(border, 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(cap, kCornerRadius, kCornerRadius);

    if (hasFocus()) {
        const qreal half = kRingWidth / 2;
        const QRectF ring = QRectF(rect()).adjusted(half, half, -half, -half);
        const qreal radius = kCornerRadius + kRingGap + kRingWidth - half;
        painter.setPen(QPen(colours.color(QPalette::Highlight), kRingWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(ring, radius, radius);
    }

    const QRectF textArea = cap.adjusted(kTextPadding, 0, -kTextPadding, 0);
    painter.setFont(font());
    painter.setPen(m_isRecordingShortcut ? kBrandPurple : text);
    painter.drawText(textArea, Qt::AlignCenter,
        fontMetrics().elidedText(QPushButton::text(), Qt::ElideRight, int(textArea.width())));
}
