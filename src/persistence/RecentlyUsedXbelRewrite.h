#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// One bookmark added to, or refreshed in, the bytes of a recently-used.xbel file. The file is
// copied token by token with namespace processing off, so other programs' markup passes through
// with its prefixes, attribute order and whitespace as they were; namespaces are resolved only
// to recognise the elements updated. Touches no file; any thread.
class RecentlyUsedXbelRewrite {
public:
    struct Entry {
        QString href;
        QByteArray nativePath; // standardised; the identity of a bookmark
        QString stamp; // ISO-8601 UTC with 'Z'
        QString applicationName;
        QString applicationExec; // as stored, quotes included
    };

    // `xbel` with `entry` added or refreshed; nullopt when `xbel` is not well-formed XML with an
    // <xbel> root, or when the copy would not read back as XML.
    static std::optional<QByteArray> apply(const QByteArray &xbel, const Entry &entry);
};
