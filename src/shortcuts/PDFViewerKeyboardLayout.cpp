#include "PDFViewerKeyboardLayout.h"

#include <QFile>
#include <QProcessEnvironment>

#include <xkbcommon/xkbcommon.h>

void PDFViewerKeyboardLayout::Deleter::operator()(xkb_context *context) const
{
    xkb_context_unref(context);
}

void PDFViewerKeyboardLayout::Deleter::operator()(xkb_keymap *keymap) const
{
    xkb_keymap_unref(keymap);
}

PDFViewerKeyboardLayout::PDFViewerKeyboardLayout(const Names &names)
    : m_names(names)
    , m_context(xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES))
{
    if (!m_context)
        return;
    xkb_context_set_log_level(m_context.get(), XKB_LOG_LEVEL_CRITICAL);
    const QByteArray rules = names.rules.toUtf8();
    const QByteArray model = names.model.toUtf8();
    const QByteArray layout = names.layout.toUtf8();
    const QByteArray variant = names.variant.toUtf8();
    const QByteArray options = names.options.toUtf8();
    auto field = [](const QByteArray &value) { return value.isEmpty() ? nullptr : value.constData(); };
    const xkb_rule_names ruleNames = {field(rules), field(model), field(layout), field(variant), field(options)};
    m_keymap.reset(xkb_keymap_new_from_names(m_context.get(), &ruleNames, XKB_KEYMAP_COMPILE_NO_FLAGS));
}

PDFViewerKeyboardLayout::~PDFViewerKeyboardLayout() = default;
PDFViewerKeyboardLayout::PDFViewerKeyboardLayout(PDFViewerKeyboardLayout &&) noexcept = default;
PDFViewerKeyboardLayout &PDFViewerKeyboardLayout::operator=(PDFViewerKeyboardLayout &&) noexcept = default;

quint32 PDFViewerKeyboardLayout::unmodifiedKeysym(quint32 keycode) const
{
    if (!m_keymap || keycode < xkb_keymap_min_keycode(m_keymap.get())
        || keycode > xkb_keymap_max_keycode(m_keymap.get()))
        return XKB_KEY_NoSymbol;
    const xkb_keysym_t *syms = nullptr;
    if (xkb_keymap_key_get_syms_by_level(m_keymap.get(), keycode, 0, 0, &syms) < 1)
        return XKB_KEY_NoSymbol;
    return syms[0];
}

PDFViewerKeyboardLayout::Names PDFViewerKeyboardLayout::namesFromSystem(
    const QProcessEnvironment &environment, const QString &keyboardFile)
{
    Names names;
    if (!environment.value(QStringLiteral("XKB_DEFAULT_LAYOUT")).isEmpty()) {
        names.rules = environment.value(QStringLiteral("XKB_DEFAULT_RULES"));
        names.model = environment.value(QStringLiteral("XKB_DEFAULT_MODEL"));
        names.layout = environment.value(QStringLiteral("XKB_DEFAULT_LAYOUT"));
        names.variant = environment.value(QStringLiteral("XKB_DEFAULT_VARIANT"));
        names.options = environment.value(QStringLiteral("XKB_DEFAULT_OPTIONS"));
    } else if (QFile file(keyboardFile); file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        // Shell assignments such as XKBLAYOUT="us,de"; everything else is ignored.
        while (!file.atEnd()) {
            const QByteArray line = file.readLine(4096).trimmed();
            const qsizetype equals = line.indexOf('=');
            if (line.startsWith('#') || equals < 0)
                continue;
            QByteArray value = line.mid(equals + 1).trimmed();
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
                value = value.mid(1, value.size() - 2);
            const QByteArray name = line.left(equals).trimmed();
            const QString text = QString::fromUtf8(value);
            if (name == "XKBMODEL")
                names.model = text;
            else if (name == "XKBLAYOUT")
                names.layout = text;
            else if (name == "XKBVARIANT")
                names.variant = text;
            else if (name == "XKBOPTIONS")
                names.options = text;
        }
    }
    if (names.layout.isEmpty()) {
        names = Names();
        names.layout = QStringLiteral("us");
    }
    if (names.rules.isEmpty())
        names.rules = QStringLiteral("evdev");
    return names;
}

const PDFViewerKeyboardLayout &PDFViewerKeyboardLayout::active()
{
    static const PDFViewerKeyboardLayout layout = [] {
        PDFViewerKeyboardLayout system(
            namesFromSystem(QProcessEnvironment::systemEnvironment(), QStringLiteral("/etc/default/keyboard")));
        if (system.isValid())
            return system;
        return PDFViewerKeyboardLayout(Names {QStringLiteral("evdev"), QString(), QStringLiteral("us"), {}, {}});
    }();
    return layout;
}
