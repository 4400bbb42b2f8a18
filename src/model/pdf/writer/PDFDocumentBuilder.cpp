#include "PDFDocumentBuilder.h"

#include "PDFEngineContext.h"

#include <mupdf/pdf.h>

#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr float kInch = 72;

// A link annotation over the top-left inch of a page `pageHeight` points high.
pdf_obj *newLinkAnnotation(fz_context *ctx, pdf_document *doc, float pageHeight)
{
    pdf_obj *annotation = pdf_new_dict(ctx, doc, 5);
    fz_try(ctx)
    {
        pdf_dict_put(ctx, annotation, PDF_NAME(Type), PDF_NAME(Annot));
        pdf_dict_put(ctx, annotation, PDF_NAME(Subtype), PDF_NAME(Link));
        pdf_dict_put_rect(ctx, annotation, PDF_NAME(Rect), fz_make_rect(0, pageHeight - kInch, kInch, pageHeight));
        pdf_obj *border = pdf_dict_put_array(ctx, annotation, PDF_NAME(Border), 3);
        pdf_array_push_int(ctx, border, 0);
        pdf_array_push_int(ctx, border, 0);
        pdf_array_push_int(ctx, border, 0);
    }
    fz_catch(ctx)
    {
        pdf_drop_obj(ctx, annotation);
        fz_rethrow(ctx);
    }
    return annotation;
}

// `text` with every "{object K}" replaced by a reference to object number `first` + K.
QByteArray withReferences(const QByteArray &text, int first)
{
    static const QByteArray opening = QByteArrayLiteral("{object ");
    QByteArray result;
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(opening); at >= 0; at = text.indexOf(opening, from)) {
        const qsizetype end = text.indexOf('}', at);
        if (end < 0)
            break;
        bool ok = false;
        const int index = text.mid(at + opening.size(), end - at - opening.size()).toInt(&ok);
        result += text.mid(from, at - from);
        result += ok ? QByteArray::number(first + index) + " 0 R" : text.mid(at, end + 1 - at);
        from = end + 1;
    }
    return result + text.mid(from);
}

// One object in PDF syntax; the caller owns it. Throws when `text` is not one.
pdf_obj *parseObject(fz_context *ctx, pdf_document *doc, const QByteArray &text)
{
    fz_stream *stream
        = fz_open_memory(ctx, reinterpret_cast<const unsigned char *>(text.constData()), size_t(text.size()));
    pdf_lexbuf lexbuf;
    pdf_lexbuf_init(ctx, &lexbuf, PDF_LEXBUF_SMALL);
    pdf_obj *object = nullptr;
    fz_try(ctx) object = pdf_parse_stm_obj(ctx, doc, stream, &lexbuf);
    fz_always(ctx)
    {
        pdf_lexbuf_fin(ctx, &lexbuf);
        fz_drop_stream(ctx, stream);
    }
    fz_catch(ctx) fz_rethrow(ctx);
    return object;
}

// Puts the entries of the dictionary `text` into `target`.
void mergeEntries(fz_context *ctx, pdf_document *doc, pdf_obj *target, const QByteArray &text)
{
    pdf_obj *object = parseObject(ctx, doc, text);
    fz_try(ctx)
    {
        for (int i = 0; i < pdf_dict_len(ctx, object); ++i)
            pdf_dict_put(ctx, target, pdf_dict_get_key(ctx, object, i), pdf_dict_get_val(ctx, object, i));
    }
    fz_always(ctx) pdf_drop_obj(ctx, object);
    fz_catch(ctx) fz_rethrow(ctx);
}

// A layer as the file states it: its name in UTF-8.
struct LayerText {
    QByteArray name;
    bool visible;
    int radioGroup;
    bool throughMembership;
};

// Puts the layers into `holder`'s /Properties (/L0, /L1, …) and the catalog's
// /OCProperties: the default configuration lists them in order, hidden ones under /OFF and
// each radio group in /RBGroups.
void addLayers(fz_context *ctx, pdf_document *doc, pdf_obj *holder, const std::vector<LayerText> &layers)
{
    if (layers.empty())
        return;
    pdf_obj *properties = pdf_dict_put_dict(ctx, holder, PDF_NAME(Properties), int(layers.size()));
    pdf_obj *catalog = pdf_dict_get(ctx, pdf_trailer(ctx, doc), PDF_NAME(Root));
    pdf_obj *ocProperties = pdf_dict_put_dict(ctx, catalog, PDF_NAME(OCProperties), 2);
    pdf_obj *all = pdf_dict_put_array(ctx, ocProperties, PDF_NAME(OCGs), int(layers.size()));
    pdf_obj *config = pdf_dict_put_dict(ctx, ocProperties, PDF_NAME(D), 3);
    pdf_obj *order = pdf_dict_put_array(ctx, config, PDF_NAME(Order), int(layers.size()));
    pdf_obj *off = pdf_dict_put_array(ctx, config, PDF_NAME(OFF), 1);
    pdf_obj *groups = pdf_dict_put_array(ctx, config, PDF_NAME(RBGroups), 1);
    int lastGroup = -1;
    for (size_t i = 0; i < layers.size(); ++i) {
        char key[24];
        std::snprintf(key, sizeof key, "L%zu", i);
        pdf_obj *layer = pdf_add_new_dict(ctx, doc, 2);
        pdf_dict_put(ctx, layer, PDF_NAME(Type), PDF_NAME(OCG));
        pdf_dict_put_text_string(ctx, layer, PDF_NAME(Name), layers[i].name.constData());
        if (layers[i].throughMembership) {
            pdf_obj *membership = pdf_add_new_dict(ctx, doc, 2);
            pdf_dict_put(ctx, membership, PDF_NAME(Type), PDF_NAME(OCMD));
            pdf_dict_put(ctx, membership, PDF_NAME(OCGs), layer);
            pdf_dict_puts_drop(ctx, properties, key, membership);
        } else {
            pdf_dict_puts(ctx, properties, key, layer);
        }
        pdf_array_push(ctx, all, layer);
        pdf_array_push(ctx, order, layer);
        if (!layers[i].visible)
            pdf_array_push(ctx, off, layer);
        pdf_drop_obj(ctx, layer);
        lastGroup = std::max(lastGroup, layers[i].radioGroup);
    }
    for (int group = 0; group <= lastGroup; ++group) {
        pdf_obj *members = nullptr;
        for (size_t i = 0; i < layers.size(); ++i) {
            if (layers[i].radioGroup != group)
                continue;
            if (!members)
                members = pdf_array_push_array(ctx, groups, 2);
            pdf_array_push(ctx, members, pdf_array_get(ctx, all, int(i)));
        }
    }
}

// Fills the raw objects, numbered from `first`, with their parsed texts and streams, and
// puts the catalog entries into the catalog.
void addRawObjects(fz_context *ctx, pdf_document *doc, int first, const std::vector<QByteArray> &objects,
    const QVector<PDFDocumentBuilder::RawObject> &raw, const QByteArray &catalogEntries)
{
    pdf_obj *object = nullptr;
    pdf_obj *reference = nullptr;
    fz_buffer *stream = nullptr;
    fz_var(object);
    fz_var(reference);
    fz_var(stream);
    fz_try(ctx)
    {
        for (size_t i = 0; i < objects.size(); ++i) {
            object = parseObject(ctx, doc, objects[i]);
            pdf_update_object(ctx, doc, first + int(i), object);
            pdf_drop_obj(ctx, object);
            object = nullptr;
            const QByteArray &data = raw[qsizetype(i)].stream;
            if (data.isNull())
                continue;
            reference = pdf_new_indirect(ctx, doc, first + int(i), 0);
            stream = fz_new_buffer_from_copied_data(
                ctx, reinterpret_cast<const unsigned char *>(data.constData()), size_t(data.size()));
            pdf_update_stream(ctx, doc, reference, stream, 0);
            fz_drop_buffer(ctx, stream);
            stream = nullptr;
            pdf_drop_obj(ctx, reference);
            reference = nullptr;
        }
        if (!catalogEntries.isEmpty())
            mergeEntries(ctx, doc, pdf_dict_get(ctx, pdf_trailer(ctx, doc), PDF_NAME(Root)), catalogEntries);
    }
    fz_always(ctx)
    {
        fz_drop_buffer(ctx, stream);
        pdf_drop_obj(ctx, reference);
        pdf_drop_obj(ctx, object);
    }
    fz_catch(ctx) fz_rethrow(ctx);
}

// `shared` itself when `layers` is empty, else a new resources dictionary with its fonts and
// the /Properties of `layers` taken from `holder`. A new reference either way.
pdf_obj *ownResources(fz_context *ctx, pdf_document *doc, pdf_obj *shared, pdf_obj *holder, const QVector<int> &layers)
{
    pdf_obj *properties = pdf_dict_get(ctx, holder, PDF_NAME(Properties));
    if (layers.isEmpty() || !properties)
        return pdf_keep_obj(ctx, shared);
    pdf_obj *own = pdf_add_new_dict(ctx, doc, 2);
    pdf_dict_put(ctx, own, PDF_NAME(Font), pdf_dict_get(ctx, shared, PDF_NAME(Font)));
    pdf_obj *subset = pdf_dict_put_dict(ctx, own, PDF_NAME(Properties), int(layers.size()));
    for (const int layer : layers) {
        char key[24];
        std::snprintf(key, sizeof key, "L%d", layer);
        pdf_dict_puts(ctx, subset, key, pdf_dict_gets(ctx, properties, key));
    }
    return own;
}

// The whole file, in memory. Every C++ object the MuPDF calls read is built before them.
bool writeDocument(const QVector<PDFDocumentBuilder::Page> &pages,
    const QVector<PDFDocumentBuilder::RawObject> &rawObjects, const QByteArray &catalogEntries, const QString &password,
    const std::vector<LayerText> &layers, QByteArray *bytes, QString *errorMessage)
{
    fz_context *ctx = PDFEngineContext::current();
    if (!ctx) {
        *errorMessage = PDFEngineContext::noContextError().message;
        return false;
    }

    // The raw objects are the first made in the new document, so their numbers are known
    // before any of them is parsed.
    pdf_document *doc = nullptr;
    int firstRawObject = 0;
    fz_var(doc);
    fz_try(ctx)
    {
        doc = pdf_create_document(ctx);
        firstRawObject = pdf_xref_len(ctx, doc);
    }
    fz_catch(ctx)
    {
        pdf_drop_document(ctx, doc);
        *errorMessage = QString::fromUtf8(fz_caught_message(ctx));
        return false;
    }
    std::vector<QByteArray> rawTexts;
    for (const PDFDocumentBuilder::RawObject &raw : rawObjects)
        rawTexts.push_back(withReferences(raw.object, firstRawObject));
    const QByteArray catalogText = withReferences(catalogEntries, firstRawObject);
    const int rawCount = int(rawTexts.size());

    const int pageCount = int(pages.size());
    std::vector<std::vector<QByteArray>> uris(static_cast<size_t>(pageCount));
    for (int i = 0; i < pageCount; ++i) {
        for (const QString &uri : pages[i].uriLinks)
            uris[size_t(i)].push_back(uri.toUtf8());
    }
    std::vector<pdf_obj *> pageObjects(size_t(pageCount), nullptr);
    std::vector<QByteArray> pageEntries;
    for (const PDFDocumentBuilder::Page &page : pages)
        pageEntries.push_back(withReferences(page.entries, firstRawObject));

    pdf_write_options options = pdf_default_write_options;
    options.do_compress = 1;
    options.do_compress_fonts = 1;
    if (!password.isEmpty()) {
        const QByteArray user = password.toUtf8().left(sizeof options.upwd_utf8 - 1);
        // The owner password differs from the empty one, or the empty password would open
        // the file as its owner.
        const QByteArray owner = (user + "#owner").left(sizeof options.opwd_utf8 - 1);
        options.do_encrypt = PDF_ENCRYPT_AES_128;
        options.permissions = PDF_PERM_PRINT | PDF_PERM_COPY | PDF_PERM_ACCESSIBILITY | PDF_PERM_PRINT_HQ;
        std::memcpy(options.upwd_utf8, user.constData(), size_t(user.size()) + 1);
        std::memcpy(options.opwd_utf8, owner.constData(), size_t(owner.size()) + 1);
    }

    fz_font *latinFont = nullptr;
    fz_font *cjkFont = nullptr;
    pdf_obj *resources = nullptr;
    pdf_obj *pageResources = nullptr;
    pdf_obj *layerHolder = nullptr; // the layers' /Properties, for the pages that use them
    fz_buffer *contents = nullptr;
    fz_buffer *buffer = nullptr;
    fz_output *output = nullptr;
    unsigned char *data = nullptr; // owned by `buffer`
    size_t size = 0;
    int failed = 0;
    fz_var(data);
    fz_var(size);
    fz_var(failed);
    fz_var(latinFont);
    fz_var(cjkFont);
    fz_var(resources);
    fz_var(pageResources);
    fz_var(layerHolder);
    fz_var(contents);
    fz_var(buffer);
    fz_var(output);
    fz_try(ctx)
    {
        for (int i = 0; i < rawCount; ++i) {
            if (pdf_create_object(ctx, doc) != firstRawObject + i)
                fz_throw(ctx, FZ_ERROR_GENERIC, "raw objects are not numbered in order");
        }

        latinFont = fz_new_base14_font(ctx, "Helvetica");
        cjkFont = fz_new_cjk_font(ctx, FZ_ADOBE_GB);
        resources = pdf_add_new_dict(ctx, doc, 1);
        pdf_obj *fonts = pdf_dict_put_dict(ctx, resources, PDF_NAME(Font), 2);
        pdf_dict_puts_drop(ctx, fonts, "F1", pdf_add_simple_font(ctx, doc, latinFont, PDF_SIMPLE_ENCODING_LATIN));
        pdf_dict_puts_drop(ctx, fonts, "F2", pdf_add_cjk_font(ctx, doc, cjkFont, FZ_ADOBE_GB, 0, 0));
        layerHolder = pdf_new_dict(ctx, doc, 1);
        addLayers(ctx, doc, layerHolder, layers);

        for (int i = 0; i < pageCount; ++i) {
            const PDFDocumentBuilder::Page &page = pages[i];
            const fz_rect box = fz_make_rect(0, 0, float(page.size.width()), float(page.size.height()));
            contents = fz_new_buffer_from_copied_data(
                ctx, reinterpret_cast<const unsigned char *>(page.content.constData()), size_t(page.content.size()));
            pageResources = ownResources(ctx, doc, resources, layerHolder, page.layers);
            pageObjects[size_t(i)] = pdf_add_page(ctx, doc, box, 0, pageResources, contents);
            pdf_drop_obj(ctx, pageResources);
            pageResources = nullptr;
            fz_drop_buffer(ctx, contents);
            contents = nullptr;
            pdf_dict_put_int(ctx, pageObjects[size_t(i)], PDF_NAME(Rotate), page.rotate);
            if (!pageEntries[size_t(i)].isEmpty())
                mergeEntries(ctx, doc, pageObjects[size_t(i)], pageEntries[size_t(i)]);
        }

        // Links go in once every page object exists, so that any page can be a target.
        for (int i = 0; i < pageCount; ++i) {
            const PDFDocumentBuilder::Page &page = pages[i];
            const float height = float(page.size.height());
            const int target = page.linkToPage;
            const bool internal = target >= 0 && target < pageCount;
            if (uris[size_t(i)].empty() && !internal && page.annotations.isEmpty())
                continue;
            pdf_obj *annotations = pdf_dict_put_array(ctx, pageObjects[size_t(i)], PDF_NAME(Annots), 1);
            for (const QByteArray &uri : uris[size_t(i)]) {
                pdf_obj *annotation = pdf_add_object_drop(ctx, doc, newLinkAnnotation(ctx, doc, height));
                pdf_array_push_drop(ctx, annotations, annotation);
                pdf_obj *action = pdf_dict_put_dict(ctx, annotation, PDF_NAME(A), 2);
                pdf_dict_put(ctx, action, PDF_NAME(S), PDF_NAME(URI));
                pdf_dict_put_string(ctx, action, PDF_NAME(URI), uri.constData(), size_t(uri.size()));
            }
            if (internal) {
                pdf_obj *annotation = pdf_add_object_drop(ctx, doc, newLinkAnnotation(ctx, doc, height));
                pdf_array_push_drop(ctx, annotations, annotation);
                // The destination is the top-left inch of the target page.
                const float targetHeight = float(pages[target].size.height());
                pdf_obj *destination = pdf_dict_put_array(ctx, annotation, PDF_NAME(Dest), 5);
                pdf_array_push(ctx, destination, pageObjects[size_t(target)]);
                pdf_array_push(ctx, destination, PDF_NAME(XYZ));
                pdf_array_push_real(ctx, destination, kInch);
                pdf_array_push_real(ctx, destination, targetHeight - kInch);
                pdf_array_push_int(ctx, destination, 0);
            }
            for (const int object : page.annotations) {
                if (object < 0 || object >= rawCount)
                    fz_throw(ctx, FZ_ERROR_GENERIC, "no raw object %d", object);
                pdf_array_push_drop(ctx, annotations, pdf_new_indirect(ctx, doc, firstRawObject + object, 0));
            }
        }
        addRawObjects(ctx, doc, firstRawObject, rawTexts, rawObjects, catalogText);

        for (int i = 0; i < pageCount; ++i)
            pdf_insert_page(ctx, doc, -1, pageObjects[size_t(i)]);

        buffer = fz_new_buffer(ctx, 16384);
        output = fz_new_output_with_buffer(ctx, buffer);
        pdf_write_document(ctx, doc, output, &options);
        fz_close_output(ctx, output);
        size = fz_buffer_storage(ctx, buffer, &data);
    }
    fz_always(ctx)
    {
        fz_drop_output(ctx, output);
        fz_drop_buffer(ctx, contents);
        for (pdf_obj *pageObject : pageObjects)
            pdf_drop_obj(ctx, pageObject);
        pdf_drop_obj(ctx, pageResources);
        pdf_drop_obj(ctx, layerHolder);
        pdf_drop_obj(ctx, resources);
        fz_drop_font(ctx, cjkFont);
        fz_drop_font(ctx, latinFont);
        pdf_drop_document(ctx, doc);
    }
    fz_catch(ctx)
    {
        *errorMessage = QString::fromUtf8(fz_caught_message(ctx));
        failed = 1;
    }
    if (!failed)
        *bytes = QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
    fz_drop_buffer(ctx, buffer);
    return !failed;
}

// Writes `bytes` next to `path` under a fresh name, flushes it to disk and renames it over
// `path`, so that readers see either the old file or the whole new one.
bool writeFileAtomically(const QByteArray &path, const QByteArray &bytes, QString *errorMessage)
{
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary = path + ".tmp-" + QByteArray::number(QRandomGenerator::global()->generate(), 16);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        *errorMessage = qt_error_string(errno);
        return false;
    }

    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    bool ok = true;
    while (ok && left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        ok = written > 0;
        if (ok) {
            data += written;
            left -= written;
        }
    }
    ok = ok && ::fsync(fd) == 0;
    const int writeErrno = errno;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.constData(), path.constData()) == 0;
    if (!ok) {
        *errorMessage = qt_error_string(errno ? errno : writeErrno);
        ::unlink(temporary.constData());
    }
    return ok;
}

} // namespace

bool PDFDocumentBuilder::save(const QByteArray &nativePath, QString *errorMessage) const
{
    QString message;
    QByteArray bytes;
    std::vector<LayerText> layers;
    for (const Layer &layer : m_layers)
        layers.push_back(LayerText {layer.name.toUtf8(), layer.visible, layer.radioGroup, layer.throughMembership});
    const bool ok = !nativePath.isEmpty()
        && writeDocument(m_pages, m_objects, m_catalogEntries, m_password, layers, &bytes, &message)
        && writeFileAtomically(nativePath, bytes, &message);
    if (!ok && errorMessage)
        *errorMessage = message.isEmpty() ? QStringLiteral("invalid file name") : message;
    return ok;
}

bool PDFDocumentBuilder::save(const QString &path, QString *errorMessage) const
{
    return save(QFile::encodeName(path), errorMessage);
}

int PDFDocumentBuilder::addObject(const QByteArray &object, const QByteArray &stream)
{
    m_objects.append(RawObject {object, stream});
    return int(m_objects.size()) - 1;
}

QByteArray PDFDocumentBuilder::cjkText(const QString &text)
{
    QByteArray result = "<";
    for (const QChar c : text)
        result += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return result + '>';
}

QByteArray PDFDocumentBuilder::latinText(const QString &text)
{
    QByteArray result = "(";
    for (const char c : text.toLatin1()) {
        switch (c) {
        case '(':
        case ')':
        case '\\':
            result += '\\';
            result += c;
            break;
        case '\n':
            result += "\\n";
            break;
        case '\r':
            result += "\\r";
            break;
        default:
            result += c;
        }
    }
    return result + ')';
}
