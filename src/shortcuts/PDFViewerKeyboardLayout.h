#pragma once

#include <QString>

#include <memory>

class QProcessEnvironment;
struct xkb_context;
struct xkb_keymap;

// A compiled XKB keymap used to read what a physical key produces with no modifiers held.
// Immutable after construction, so lookups are safe from any thread.
class PDFViewerKeyboardLayout {
public:
    // XKB rule names; empty fields take libxkbcommon's built-in defaults, never the process
    // environment, so a layout built from the same names is the same everywhere.
    struct Names {
        QString rules;
        QString model;
        QString layout;
        QString variant;
        QString options;
    };

    explicit PDFViewerKeyboardLayout(const Names &names);
    ~PDFViewerKeyboardLayout();
    PDFViewerKeyboardLayout(PDFViewerKeyboardLayout &&) noexcept;
    PDFViewerKeyboardLayout &operator=(PDFViewerKeyboardLayout &&) noexcept;

    // False when the keymap could not be compiled (unknown layout, no XKB data installed).
    bool isValid() const { return m_keymap != nullptr; }
    const Names &names() const { return m_names; }

    // The first keysym of `keycode` (an evdev keycode + 8, as in a key event's native scan
    // code) on the first layout group at the base level; 0 (NoSymbol) when the key is unknown
    // or the layout is invalid.
    quint32 unmodifiedKeysym(quint32 keycode) const;

    // The names of the session's keyboard: the XKB_DEFAULT_RULES/MODEL/LAYOUT/VARIANT/OPTIONS
    // variables when XKB_DEFAULT_LAYOUT is set, otherwise the XKB* entries of the system
    // keyboard file (Debian's /etc/default/keyboard), otherwise the "us" layout. Rules default
    // to "evdev". Only the first group of a multi-layout setting is ever consulted, which is
    // also the group Qt falls back to when it matches shortcuts on a non-Latin layout.
    static Names namesFromSystem(const QProcessEnvironment &environment, const QString &keyboardFile);

    // The layout of namesFromSystem() for this process, built on first use (the "us" layout if
    // those names do not compile). Lives until exit.
    static const PDFViewerKeyboardLayout &active();

private:
    struct Deleter {
        void operator()(xkb_context *context) const;
        void operator()(xkb_keymap *keymap) const;
    };

    Names m_names;
    std::unique_ptr<xkb_context, Deleter> m_context;
    std::unique_ptr<xkb_keymap, Deleter> m_keymap;
};
