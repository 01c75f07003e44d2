#include "displayfailure.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

#include "quotedtext.h"

namespace chordmoss {

namespace {

QtMessageHandler g_previous = nullptr;

void handler(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    // Qt explains a missing display in two warnings and then aborts; the
    // warnings are folded into the one line said at the abort.
    if (type != QtFatalMsg
        && (text.contains(QLatin1String("could not connect to display"))
            || text.contains(QLatin1String("Could not load the Qt platform plugin"))))
        return;
    if (type == QtFatalMsg && text.contains(QLatin1String("no Qt platform plugin could be initialized"))) {
        const char* display = std::getenv("DISPLAY");
        std::fprintf(stderr,
                     "chordmoss: the window cannot reach a display (DISPLAY=%s); see 'chordmoss --help' for the "
                     "command line\n",
                     QuotedArgument(display ? display : "").c_str());
        std::_Exit(1);
    }
    g_previous(type, context, text);
}

} // namespace

void ExitQuietlyWithoutDisplay() { g_previous = qInstallMessageHandler(handler); }

} // namespace chordmoss
