#pragma once

#include <QObject>

// The live owner of the user's keyboard-shortcut configuration. The application holds the
// process-wide instance; everything else takes the store it is given.
class PDFViewerShortcutStore : public QObject {
    Q_OBJECT

public:
    explicit PDFViewerShortcutStore(QObject *parent = nullptr);

    static PDFViewerShortcutStore &shared();
};
