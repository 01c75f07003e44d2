#include "windowdisplay.h"

#include <array>
#include <cstdlib>
#include <string_view>

#include "quotedtext.h"

namespace chordmoss {

namespace {

constexpr std::array<std::string_view, 17> kQtOptionsWithValue = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "geometry", "qwindowicon",
    "icon",     "qwindowtitle",       "title",         "display", "style", "stylesheet", "session", "name",
    "qmljsdebugger", "fontengine"};
constexpr std::array<std::string_view, 6> kQtFlags = {"reverse", "widgetcount", "nograb", "dograb", "sync",
                                                      "testability"};

template <std::size_t N>
bool contains(const std::array<std::string_view, N>& list, std::string_view name)
{
    for (std::string_view n : list) {
        if (n == name)
            return true;
    }
    return false;
}

/// Qt reads "-name" and "--name" alike; returns the name, or empty for no option.
std::string_view optionName(std::string_view arg)
{
    if (arg.size() < 2 || arg[0] != '-')
        return {};
    arg.remove_prefix(arg[1] == '-' ? 2 : 1);
    return arg.substr(0, arg.find('='));
}

std::string env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

} // namespace

bool WantsCommandLine(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const std::string_view name = optionName(arg);
        if (contains(kQtOptionsWithValue, name)) {
            if (arg.find('=') == std::string_view::npos)
                ++i;
        } else if (!contains(kQtFlags, name)) {
            return true;
        }
    }
    return false;
}

std::string WindowDisplayProblem(int argc, char** argv)
{
    std::string platforms = env("QT_QPA_PLATFORM");
    bool displayArgument = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const std::string_view name = optionName(arg);
        const auto eq = arg.find('=');
        const std::string value = eq != std::string_view::npos ? std::string(arg.substr(eq + 1))
                                  : i + 1 < argc                ? std::string(argv[i + 1])
                                                                : std::string();
        if (name == "platform")
            platforms = value;
        displayArgument = displayArgument || name == "display";
    }
    const bool x11 = displayArgument || !env("DISPLAY").empty();
    const bool wayland = !env("WAYLAND_DISPLAY").empty();
    if (platforms.empty())
        return x11 || wayland ? std::string() : "no display to open the window on (DISPLAY and WAYLAND_DISPLAY "
                                                "are unset); see 'chordmoss --help' for the command line";
    // A list such as "wayland;xcb" is tried in turn; "xcb:option" carries options.
    std::string_view rest = platforms;
    while (!rest.empty()) {
        std::string_view platform = rest.substr(0, rest.find(';'));
        rest.remove_prefix(std::min(rest.size(), platform.size() + 1));
        platform = platform.substr(0, platform.find(':'));
        if ((platform == "xcb" && x11) || (platform.starts_with("wayland") && wayland)
            || (platform != "xcb" && !platform.starts_with("wayland")))
            return {};
    }
    return "no display for the platform " + QuotedArgument(platforms)
           + " (DISPLAY or WAYLAND_DISPLAY is unset); see 'chordmoss --help' for the command line";
}

} // namespace chordmoss
