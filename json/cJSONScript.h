#pragma once

#include "platform/ScriptValue.h"

#include <QString>

#include <cstdint>
#include <memory>

namespace platform {
class Dictionary;
} // namespace platform

// Runs a small script written in JSON and returns the text it produces. A script is
// an array whose texts are copied to the output and whose objects are commands: each
// member names a command by its key (any case) and gives its arguments in its value.
// Commands: "alert", "input", "switch", "set", "get", "if", "return"; any other name
// writes the placeholder "<%NAME(arguments)%>" for a later stage to fill. Dialogs go
// through the operator service. Variables live as long as the instance.
//
// A value that does not fit a command raises a platform::RuntimeError to the caller
// (424 Object required, 91 no argument object, 5 an array where an object belongs,
// 13 Type mismatch); the nesting depth is restored on every path.
class cJSONScript {
public:
    // Reads the script; when the reader reports a fault, shows the error text in a
    // "Parser Error" box and returns the empty text. A root object runs as one command
    // object.
    QString Eval(const QString &sJSON);
    // The output of one value of the tree: texts as they are, "null", "true"/"false",
    // numbers with a point as the decimal mark, arrays item by item, objects as
    // commands. Beyond 41 nested calls: "ERROR: Nesting level exceeded.".
    QString ExecCommand(const platform::ScriptValue &obj);

private:
    QString runCommands(const platform::Dictionary &commands);
    QString runCommand(const QString &name, const platform::ScriptValue &value);
    QString runSwitch(const platform::ScriptValue &args);
    QString runIf(const platform::ScriptValue &args);
    QString runGet(const platform::ScriptValue &args);
    platform::Dictionary &variables();

    std::shared_ptr<platform::Dictionary> m_variables; // created on first use
    std::int32_t m_depth = 0;
};
