#pragma once

#include <QObject>

class PDFViewerModel;
class QAction;
class QMenu;
class QSettings;

// How the drawing is shown, as checkable items in a block of their own at the end of the 图纸
// menu: 反色显示 (the inverted view, for dark rooms and projectors). Each is remembered in the
// settings store and applied to the model's canvas, whose render queue the thumbnails and the
// presentation layout share, so they follow it. The items have no keys.
//
// `model` and `settings` must outlive it. UI thread only.
class PDFViewerViewOptions : public QObject {
    Q_OBJECT

public:
    PDFViewerViewOptions(QMenu *menu, PDFViewerModel *model, QSettings *settings, QObject *parent = nullptr);

    QAction *invertedView() const { return m_invertedView; }

private:
    // A checkable item stored under `key`, unchecked until the user checks it.
    QAction *addOption(QMenu *menu, const QString &title, const QString &objectName, const QString &key);
    void apply();

    PDFViewerModel *m_model;
    QSettings *m_settings;
    QAction *m_invertedView;
};
