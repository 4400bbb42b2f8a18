#pragma once

#include <QObject>

class PDFViewerModel;
class QAction;
class QMenu;
class QSettings;

// How the drawing is shown, as checkable items in a block of their own at the end of the 图纸
// menu: 反色显示 (the inverted view, for dark rooms and projectors) and 显示总览图 (the map of the
// whole page over a zoomed canvas). Each is remembered in the settings store and applied to the
// model's canvas, whose render queue the thumbnails and the presentation layout share, so they
// follow it. The items have no keys.
//
// `model` and `settings` must outlive it. UI thread only.
class PDFViewerViewOptions : public QObject {
    Q_OBJECT

public:
    PDFViewerViewOptions(QMenu *menu, PDFViewerModel *model, QSettings *settings, QObject *parent = nullptr);

    QAction *invertedView() const { return m_invertedView; }
    QAction *overviewMap() const { return m_overviewMap; }

private:
    // A checkable item stored under `key`, `checked` until the user changes it.
    QAction *addOption(QMenu *menu, const QString &title, const QString &objectName, const QString &key, bool checked);
    void apply();

    PDFViewerModel *m_model;
    QSettings *m_settings;
    QAction *m_invertedView;
    QAction *m_overviewMap;
};
