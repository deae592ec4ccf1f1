// The entry `orvex open` calls, where it ends without a window: no display to show one on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>

#include "desktop/DesktopApp.h"

namespace {

// Takes a variable out of the environment for the test and puts it back afterwards.
class CUnsetVariable {
public:
    explicit CUnsetVariable(const char* name) : m_name(name) {
        if (const char* v = std::getenv(name)) m_value = v;
        unsetenv(name);
    }
    ~CUnsetVariable() {
        if (m_value) setenv(m_name, m_value->c_str(), 1);
    }

private:
    const char* m_name;
    std::optional<std::string> m_value;
};

TEST(DesktopAppTest, WithoutADisplayItFailsInOneLineInsteadOfAborting) {
    CUnsetVariable display("DISPLAY"), wayland("WAYLAND_DISPLAY"), platform("QT_QPA_PLATFORM");
    std::ostringstream err;
    EXPECT_EQ(RunDesktopApplication("", err), 1);
    EXPECT_EQ(err.str(), "orvex: no display to open a window on (set DISPLAY, or QT_QPA_PLATFORM=offscreen)\n");
}

}  // namespace
