#pragma once

#include <QString>

// Engine failures as the rest of the program sees them. Every MuPDF error is converted
// into one of these at the engine boundary; nothing above it sees an fz_* type.
enum class PDFErrorKind {
    None,
    CannotOpen, // not a PDF, unreadable, or not even repairable
    NeedsPassword, // encrypted with a user password
    Damaged, // opened, but a page or object is broken
    Cancelled, // a render or find was aborted by its caller
};

struct PDFError {
    PDFErrorKind kind = PDFErrorKind::None;
    QString message; // MuPDF's own (English) text, for logs; never shown to the user

    bool isError() const { return kind != PDFErrorKind::None; }
    // Stores `value` in `*out`; an out-parameter the caller left null is skipped.
    static void set(PDFError *out, PDFErrorKind kind, const QString &message = QString())
    {
        if (out)
            *out = PDFError {kind, message};
    }
    static void set(PDFError *out, const PDFError &value)
    {
        if (out)
            *out = value;
    }
};
