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

Request request(const QList<QByteArray> &arguments)
{
    for (const QByteArray &argument : arguments) {
        if (argument == "--")
            break;
        if (argument == "--help" || argument == "-h")
            return Request::Help;
        if (argument == "--version" || argument == "-v")
            return Request::Version;
    }
    return Request::Open;
}

QByteArray unknownOption(const QList<QByteArray> &arguments)
{
    for (const QByteArray &argument : arguments) {
        if (argument == "--")
            break;
        if (argument.startsWith('-'))
            return argument;
    }
    return {};
}

QByteArray helpText()
{
    return QByteArrayLiteral("用法：plenvo [选项] [文件…]\n"
                             "打开 PDF 图纸。文件可以是路径或 file:// 地址；给出多个时只打开第一个 PDF。\n"
                             "\n"
                             "选项：\n"
                             "  -h, --help       显示本帮助并退出\n"
                             "  -v, --version    显示版本并退出\n"
                             "  --               其后的参数都是文件名，包括以“-”开头的\n"
                             "\n"
                             "Qt 的选项同样可用，例如 -style 名称、-platform 名称。\n");
}

} // namespace PlenvoCommandLine
