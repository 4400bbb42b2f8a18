// A message on the single-instance socket as the running viewer decodes it. A message that
// decodes must give the same arguments and folder back from the message a launch would send
// for them.

#include "FuzzInput.h"
#include "PlenvoSingleInstance.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QList<QByteArray> arguments;
    QByteArray workingDirectory;
    if (!PlenvoSingleInstance::decodeMessage(fuzzInput(data, size), &arguments, &workingDirectory))
        return 0;
    QList<QByteArray> againArguments;
    QByteArray againDirectory;
    if (!PlenvoSingleInstance::decodeMessage(
            PlenvoSingleInstance::encodeMessage(arguments, workingDirectory), &againArguments, &againDirectory)
        || againArguments != arguments || againDirectory != workingDirectory)
        std::abort();
    return 0;
}
