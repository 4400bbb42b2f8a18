#pragma once

#include <QString>

// A long Chinese text document: running prose about a building project, set in /F2 on A4
// pages and wrapped after a fixed number of characters, so that words break across lines as
// they do in Chinese typesetting. Deterministic for a given page count.
namespace ChineseReport {

// The word the search benchmark looks for: it occurs many times on every page.
inline QString commonWord()
{
    return QStringLiteral("工程");
}

// Writes `pages` pages to `path`, creating its folder when missing. On failure returns
// false and sets `error`.
bool write(const QString &path, int pages = 300, QString *error = nullptr);

} // namespace ChineseReport
