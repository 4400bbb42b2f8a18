#pragma once

#include <QByteArray>
#include <QSizeF>
#include <QString>
#include <QVector>

// Writes new PDF files: the tests' fixtures, the sample drawing and the benchmark input.
// Content streams are raw PDF operators. Two fonts are available in every page's
// resources: /F1 (Helvetica) and /F2 (a CJK font, Adobe-GB1, UTF-16 strings: see cjkText).
class PDFDocumentBuilder {
public:
    struct Page {
        QSizeF size; // points
        int rotate = 0; // written as the page's /Rotate; any value, even invalid ones
        QByteArray content;
        QVector<QString> uriLinks; // one link annotation per entry, covering the top-left inch
        int linkToPage = -1; // an internal link to this page index, same place, when >= 0
        QVector<int> annotations = {}; // raw objects (addObject) put in /Annots after the links
        // The layers (addLayer) whose marks the content uses; its resources name only these.
        QVector<int> layers = {};
        // A dictionary whose entries are put into the page object, e.g. "<< /VP [...] >>";
        // "{object K}" stands for raw object K, as in addObject.
        QByteArray entries = {};
    };

    void addPage(const Page &page) { m_pages.append(page); }
    void addPage(QSizeF size, const QByteArray &content = {}, int rotate = 0)
    {
        m_pages.append(Page {size, rotate, content, {}, -1});
    }
    int pageCount() const { return int(m_pages.size()); }

    // A layer (optional content group), listed in the order added. Content drawn between
    // layerContent()'s marks belongs to it. Layers with the same radio group (>= 0) form one,
    // of which the document shows at most one at a time.
    struct Layer {
        QString name;
        bool visible = true;
        int radioGroup = -1;
        // Marked through a membership dictionary (/OCMD) naming the layer, not the layer itself.
        bool throughMembership = false;
    };
    // Returns the layer's index for layerContent().
    int addLayer(const Layer &layer)
    {
        m_layers.append(layer);
        return int(m_layers.size()) - 1;
    }
    // `content` marked as layer `layer`'s: "/OC /L<layer> BDC … EMC".
    static QByteArray layerContent(int layer, const QByteArray &content)
    {
        return "/OC /L" + QByteArray::number(layer) + " BDC\n" + content + "\nEMC\n";
    }

    // Encrypts the file (AES-128) so that opening it needs `userPassword`.
    void setPassword(const QString &userPassword) { m_password = userPassword; }

    // Hand-written PDF syntax, for test files holding what no call here makes (actions,
    // forms, scripts). In every such text "{object K}" stands for a reference to raw object K.
    //
    // Adds an indirect object, `object`; with a non-null `stream`, that data becomes its
    // stream (stored as given, /Length set). Returns its K, counting from 0.
    int addObject(const QByteArray &object, const QByteArray &stream = QByteArray());
    // A dictionary whose entries are put into the document catalog, e.g. "<< /OpenAction
    // {object 0} >>".
    void setCatalogEntries(const QByteArray &dictionary) { m_catalogEntries = dictionary; }

    // Writes the file. Returns false (and leaves no partial file) on failure.
    bool save(const QByteArray &nativePath, QString *errorMessage = nullptr) const;
    bool save(const QString &path, QString *errorMessage = nullptr) const;

    // A PDF string operand for /F2 holding `text` as UTF-16BE hex, e.g. "<4E2D6587>".
    static QByteArray cjkText(const QString &text);
    // A PDF string operand for /F1 holding Latin-1 `text`, with ( ) \ escaped.
    static QByteArray latinText(const QString &text);

    struct RawObject {
        QByteArray object;
        QByteArray stream; // null: none
    };

private:
    QVector<Page> m_pages;
    QVector<Layer> m_layers;
    QString m_password;
    QVector<RawObject> m_objects;
    QByteArray m_catalogEntries;
};
