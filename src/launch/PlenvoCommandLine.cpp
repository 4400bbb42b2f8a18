#include "PlenvoCommandLine.h"

#include <cstring>

namespace PlenvoCommandLine {

int toolkitArgumentCount(int argc, const char *const *argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            return i;
    }
    return argc;
}

QList<QByteArray> arguments(const char *const *argv, int first, int last)
{
    QList<QByteArray> result;
    for (int i = first; i < last; ++i)
        result.append(QByteArray(argv[i]));
    return result;
}

QList<QByteArray> fileNames(const QList<QByteArray> &arguments)
{
    QList<QByteArray> names;
    bool optionsEnded = false;
    for (const QByteArray &argument : arguments) {
        if (optionsEnded)
            names.append(argument);
        else if (argument == "--")
            optionsEnded = true;
        else if (!argument.startsWith('-'))
            names.append(argument);
    }
    return names;
}

} // namespace PlenvoCommandLine
