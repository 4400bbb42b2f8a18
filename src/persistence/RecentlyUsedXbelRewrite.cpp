#include "RecentlyUsedXbelRewrite.h"

#include "PDFFileURL.h"

#include <QList>
#include <QSet>
#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <utility>

namespace {

using Entry = RecentlyUsedXbelRewrite::Entry;

const QString bookmarkNamespace = QStringLiteral("http://www.freedesktop.org/standards/desktop-bookmarks");
const QString mimeNamespace = QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info");
const QString freedesktopOwner = QStringLiteral("http://freedesktop.org");
const QString pdfMimeType = QStringLiteral("application/pdf");

QStringView prefixOf(QStringView qualifiedName)
{
    const qsizetype colon = qualifiedName.indexOf(QLatin1Char(':'));
    return colon < 0 ? QStringView() : qualifiedName.left(colon);
}

QStringView localNameOf(QStringView qualifiedName)
{
    return qualifiedName.mid(qualifiedName.indexOf(QLatin1Char(':')) + 1);
}

// Letters, digits, "_", "-" and "." of ASCII, not starting with a digit, "-" or ".".
bool isPlainName(const QString &name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
        const bool other = (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
        if (!letter && (i == 0 || !other))
            return false;
    }
    return !name.isEmpty();
}

// The xmlns declarations of the open elements, innermost last.
class NamespaceScopes {
public:
    void push(const QXmlStreamAttributes &attributes)
    {
        QList<std::pair<QString, QString>> frame;
        for (const QXmlStreamAttribute &attribute : attributes) {
            const QStringView name = attribute.qualifiedName();
            if (name == QLatin1String("xmlns"))
                frame.append({QString(), attribute.value().toString()});
            else if (name.startsWith(QLatin1String("xmlns:")))
                frame.append({name.mid(6).toString(), attribute.value().toString()});
        }
        m_frames.append(frame);
    }
    void pop() { m_frames.removeLast(); }

    QString namespaceOf(QStringView qualifiedName) const
    {
        const QStringView prefix = prefixOf(qualifiedName);
        for (auto frame = m_frames.crbegin(); frame != m_frames.crend(); ++frame)
            for (const auto &[declared, uri] : *frame)
                if (declared == prefix)
                    return uri;
        return {};
    }

    // A prefix bound to `uri` here that can start an element name, or an empty string when
    // there is none. The reader lets attribute names hold characters that XML does not allow
    // in names, and refuses them in element names: only plain ASCII prefixes are reused.
    QString prefixFor(const QString &uri) const
    {
        QSet<QString> rebound;
        for (auto frame = m_frames.crbegin(); frame != m_frames.crend(); ++frame) {
            for (const auto &[prefix, declaredURI] : *frame) {
                if (rebound.contains(prefix))
                    continue;
                rebound.insert(prefix);
                if (declaredURI == uri && isPlainName(prefix))
                    return prefix;
            }
        }
        return {};
    }

private:
    QList<QList<std::pair<QString, QString>>> m_frames;
};

// Writes the part of our entry that is missing, indented one step deeper than the closing
// tag it is placed before (or not at all when the file has no layout whitespace there).
class InsertionWriter {
public:
    InsertionWriter(QXmlStreamWriter &writer, const NamespaceScopes &scopes, const Entry &entry, QString closingIndent)
        : m_writer(writer)
        , m_entry(entry)
        , m_closingIndent(std::move(closingIndent))
    {
        m_bookmarkPrefix = scopes.prefixFor(bookmarkNamespace);
        m_mimePrefix = scopes.prefixFor(mimeNamespace);
        m_declareBookmark = m_bookmarkPrefix.isEmpty();
        m_declareMime = m_mimePrefix.isEmpty();
        if (m_declareBookmark)
            m_bookmarkPrefix = QStringLiteral("bookmark");
        if (m_declareMime)
            m_mimePrefix = QStringLiteral("mime");
    }

    void bookmark()
    {
        open(QStringLiteral("bookmark"), 1);
        m_writer.writeAttribute(QStringLiteral("href"), m_entry.href);
        m_writer.writeAttribute(QStringLiteral("added"), m_entry.stamp);
        m_writer.writeAttribute(QStringLiteral("modified"), m_entry.stamp);
        m_writer.writeAttribute(QStringLiteral("visited"), m_entry.stamp);
        info(2);
        close(1);
        finish();
    }
    // The missing child of an element of our bookmark: <info>, <metadata>, <applications>
    // or our <application>, each with everything below it.
    void child(int elementDepth)
    {
        switch (elementDepth) {
        case 2:
            info(1);
            break;
        case 3:
            metadata(1);
            break;
        case 4:
            applications(1);
            break;
        case 5:
            application(1);
            break;
        }
        finish();
    }

private:
    void info(int level)
    {
        open(QStringLiteral("info"), level);
        metadata(level + 1);
        close(level);
    }
    void metadata(int level)
    {
        open(QStringLiteral("metadata"), level);
        m_writer.writeAttribute(QStringLiteral("owner"), freedesktopOwner);
        indent(level + 1);
        start(m_mimePrefix + QStringLiteral(":mime-type"));
        m_writer.writeAttribute(QStringLiteral("type"), pdfMimeType);
        m_writer.writeEndElement();
        applications(level + 1);
        close(level);
    }
    void applications(int level)
    {
        open(m_bookmarkPrefix + QStringLiteral(":applications"), level);
        application(level + 1);
        close(level);
    }
    void application(int level)
    {
        indent(level);
        start(m_bookmarkPrefix + QStringLiteral(":application"));
        m_writer.writeAttribute(QStringLiteral("name"), m_entry.applicationName);
        m_writer.writeAttribute(QStringLiteral("exec"), m_entry.applicationExec);
        m_writer.writeAttribute(QStringLiteral("modified"), m_entry.stamp);
        m_writer.writeAttribute(QStringLiteral("count"), QStringLiteral("1"));
        m_writer.writeEndElement();
    }

    void open(const QString &qualifiedName, int level)
    {
        indent(level);
        start(qualifiedName);
    }
    void close(int level)
    {
        indent(level);
        m_writer.writeEndElement();
    }
    // The first element written carries any namespace declarations the subtree needs.
    void start(const QString &qualifiedName)
    {
        m_writer.writeStartElement(qualifiedName);
        if (m_declareBookmark)
            m_writer.writeAttribute(QStringLiteral("xmlns:") + m_bookmarkPrefix, bookmarkNamespace);
        if (m_declareMime)
            m_writer.writeAttribute(QStringLiteral("xmlns:") + m_mimePrefix, mimeNamespace);
        m_declareBookmark = m_declareMime = false;
    }
    void indent(int level)
    {
        if (!m_closingIndent.isEmpty())
            m_writer.writeCharacters(m_closingIndent + QString(2 * level, QLatin1Char(' ')));
    }
    void finish()
    {
        if (!m_closingIndent.isEmpty())
            m_writer.writeCharacters(m_closingIndent);
    }

    QXmlStreamWriter &m_writer;
    const Entry &m_entry;
    QString m_closingIndent;
    QString m_bookmarkPrefix;
    QString m_mimePrefix;
    bool m_declareBookmark = false;
    bool m_declareMime = false;
};

// Values of existing attributes are replaced in place; missing ones are appended.
QXmlStreamAttributes withValues(
    const QXmlStreamAttributes &attributes, const QList<std::pair<QString, QString>> &values)
{
    QXmlStreamAttributes result;
    QSet<QString> replaced;
    for (const QXmlStreamAttribute &attribute : attributes) {
        if (attribute.isDefault())
            continue;
        const QString name = attribute.qualifiedName().toString();
        auto value = std::find_if(values.cbegin(), values.cend(), [&](const auto &pair) { return pair.first == name; });
        if (value != values.cend()) {
            result.append(name, value->second);
            replaced.insert(name);
        } else {
            result.append(attribute);
        }
    }
    for (const auto &[name, value] : values)
        if (!replaced.contains(name))
            result.append(name, value);
    return result;
}

QXmlStreamAttributes explicitAttributes(const QXmlStreamAttributes &attributes)
{
    QXmlStreamAttributes result;
    for (const QXmlStreamAttribute &attribute : attributes)
        if (!attribute.isDefault())
            result.append(attribute);
    return result;
}

QByteArray standardizedNativePath(const QString &href)
{
    const QUrl url = QUrl::fromEncoded(href.toUtf8(), QUrl::TolerantMode);
    return PDFFileURL::nativePath(PDFFileURL::standardized(url));
}

bool isWellFormed(const QByteArray &xml)
{
    QXmlStreamReader reader(xml);
    reader.setNamespaceProcessing(false); // as the file is read
    while (!reader.atEnd())
        reader.readNext();
    return !reader.hasError();
}

// Copies `input` to `output` with our entry added or refreshed. False when `input` is not
// well-formed XML with an <xbel> root; `output` is then meaningless.
bool rewrite(const QByteArray &input, const Entry &entry, QByteArray *output)
{
    QXmlStreamReader reader(input);
    reader.setNamespaceProcessing(false);
    QXmlStreamWriter writer(output);
    NamespaceScopes scopes;

    // Layout whitespace is held back so that an insertion before a closing tag can reuse
    // the indentation that precedes that tag.
    QString pendingWhitespace;
    const auto flush = [&] {
        if (!pendingWhitespace.isEmpty())
            writer.writeCharacters(pendingWhitespace);
        pendingWhitespace.clear();
    };

    int depth = 0;
    bool sawRoot = false;
    bool foundOurs = false;
    // Progress inside our bookmark; only the first element of each kind counts.
    bool inOurs = false, inInfo = false, inMetadata = false, inApplications = false;
    bool sawInfo = false, sawMetadata = false, sawApplications = false, sawApplication = false;

    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartDocument: {
            const QString version = reader.documentVersion().toString();
            writer.writeStartDocument(version.isEmpty() ? QStringLiteral("1.0") : version);
            writer.writeCharacters(QStringLiteral("\n"));
            break;
        }
        case QXmlStreamReader::EndDocument:
            flush();
            writer.writeEndDocument();
            break;
        case QXmlStreamReader::DTD:
            flush();
            writer.writeDTD(reader.text().toString());
            writer.writeCharacters(QStringLiteral("\n"));
            break;
        // The reader reports no whitespace outside the root element, so each item there gets
        // its own line back.
        case QXmlStreamReader::Comment:
            flush();
            writer.writeComment(reader.text().toString());
            if (depth == 0)
                writer.writeCharacters(QStringLiteral("\n"));
            break;
        case QXmlStreamReader::ProcessingInstruction:
            flush();
            writer.writeProcessingInstruction(
                reader.processingInstructionTarget().toString(), reader.processingInstructionData().toString());
            if (depth == 0)
                writer.writeCharacters(QStringLiteral("\n"));
            break;
        case QXmlStreamReader::EntityReference:
            flush();
            writer.writeEntityReference(reader.name().toString());
            break;
        case QXmlStreamReader::Characters:
            if (reader.isWhitespace() && !reader.isCDATA()) {
                pendingWhitespace += reader.text();
                break;
            }
            flush();
            if (reader.isCDATA())
                writer.writeCDATA(reader.text().toString());
            else
                writer.writeCharacters(reader.text().toString());
            break;
        case QXmlStreamReader::StartElement: {
            flush();
            ++depth;
            const QStringView name = reader.qualifiedName();
            const QXmlStreamAttributes attributes = reader.attributes();
            scopes.push(attributes);
            QXmlStreamAttributes written = explicitAttributes(attributes);

            if (depth == 1) {
                if (name != QLatin1String("xbel"))
                    return false;
                sawRoot = true;
            } else if (depth == 2 && !foundOurs && name == QLatin1String("bookmark")
                && standardizedNativePath(attributes.value(QLatin1String("href")).toString()) == entry.nativePath) {
                foundOurs = inOurs = true;
                QList<std::pair<QString, QString>> values {
                    {QStringLiteral("modified"), entry.stamp}, {QStringLiteral("visited"), entry.stamp}};
                if (!attributes.hasAttribute(QLatin1String("added")))
                    values.append({QStringLiteral("added"), entry.stamp});
                written = withValues(attributes, values);
            } else if (inOurs && depth == 3 && !sawInfo && name == QLatin1String("info")) {
                inInfo = true;
            } else if (inInfo && depth == 4 && !sawMetadata && name == QLatin1String("metadata")
                && attributes.value(QLatin1String("owner")) == freedesktopOwner) {
                inMetadata = true;
            } else if (inMetadata && depth == 5 && !sawApplications && scopes.namespaceOf(name) == bookmarkNamespace
                && localNameOf(name) == QLatin1String("applications")) {
                inApplications = true;
            } else if (inApplications && depth == 6 && !sawApplication && scopes.namespaceOf(name) == bookmarkNamespace
                && localNameOf(name) == QLatin1String("application")
                && attributes.value(QLatin1String("name")) == entry.applicationName) {
                sawApplication = true;
                bool valid = false;
                const qlonglong count = attributes.value(QLatin1String("count")).toLongLong(&valid);
                const qlonglong next = valid && count >= 0 ? count + 1 : 1;
                written = withValues(attributes,
                    {{QStringLiteral("modified"), entry.stamp}, {QStringLiteral("count"), QString::number(next)}});
            }
            writer.writeStartElement(name.toString());
            writer.writeAttributes(written);
            break;
        }
        case QXmlStreamReader::EndElement: {
            // Whatever our entry still lacks goes in before the closing tag.
            bool missingChild = false;
            if (depth == 1) {
                missingChild = !foundOurs;
            } else if (depth == 2 && inOurs) {
                inOurs = false;
                missingChild = !sawInfo;
            } else if (depth == 3 && inInfo) {
                inInfo = false;
                sawInfo = true;
                missingChild = !sawMetadata;
            } else if (depth == 4 && inMetadata) {
                inMetadata = false;
                sawMetadata = true;
                missingChild = !sawApplications;
            } else if (depth == 5 && inApplications) {
                inApplications = false;
                sawApplications = true;
                missingChild = !sawApplication;
            }
            if (missingChild) {
                InsertionWriter insert(writer, scopes, entry, pendingWhitespace);
                if (depth == 1)
                    insert.bookmark();
                else
                    insert.child(depth);
                pendingWhitespace.clear();
            }
            flush();
            writer.writeEndElement();
            scopes.pop();
            --depth;
            break;
        }
        case QXmlStreamReader::NoToken:
        case QXmlStreamReader::Invalid:
            break;
        }
    }
    if (reader.hasError() || !sawRoot)
        return false;
    if (!output->endsWith('\n'))
        output->append('\n');
    // The writer does not check what it is given: names decoded from a file that lies about
    // its encoding can come out as markup no reader takes. The file is every program's, so
    // nothing is written that cannot be read back.
    return isWellFormed(*output);
}

} // namespace

std::optional<QByteArray> RecentlyUsedXbelRewrite::apply(const QByteArray &xbel, const Entry &entry)
{
    QByteArray output;
    if (!rewrite(xbel, entry, &output))
        return std::nullopt;
    return output;
}
