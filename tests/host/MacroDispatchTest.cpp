// Controls in macros: member access through the extended control, conversions both ways, errors
// naming the member, and the host table over the recording test control.
#include <lua.hpp>

#include <filesystem>

#include "HostTestSupport.h"
#include "host/HostDocument.h"
#include "host/MacroHost.h"

namespace {

class MacroDispatchTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        const std::string text = std::string(R"({"page": {"width": 200, "height": 100}, "controls": [
            {"progid": ")") + kLogCtrlProgID + R"(", "name": "A", "rect": [10, 20, 50, 30],
             "properties": {"Flag": true, "Colour": 255}},
            {"progid": ")" + kLogCtrlProgID + R"(", "name": "B", "rect": [100, 20, 50, 30], "properties": {}},
            {"progid": ")" + kLogCtrlProgID + R"(", "name": "print", "rect": [0, 0, 1, 1], "properties": {}} ],
            "macros": {"Count": "A.Count = A.Count + 1", "Fail": "A.Count = 5\nA.Ticks = 1"}})";
        std::string error;
        ASSERT_TRUE(m_doc.Open(WriteFile("d.json", text), error)) << error;
        m_a = static_cast<CLogCtrl*>(m_doc.GetControl("A"));
        m_macros = std::make_unique<CMacroHost>(m_doc);
        m_macros->SetPrintSink([this](std::string_view line) { m_printed.emplace_back(line); });
        m_macros->SetReportSink([this](const std::string& line) { m_reports.push_back(line); });
    }
    void TearDown() override {
        m_macros.reset();
        m_doc.Close();
        HostTest::TearDown();
    }
    std::string Run(const std::string& source) {
        std::string error;
        return m_macros->RunSource(source, "macro Test", error) ? std::string() : error;
    }

    CHostDocument m_doc;
    CLogCtrl* m_a = nullptr;
    std::unique_ptr<CMacroHost> m_macros;
    std::vector<std::string> m_printed;
    std::vector<std::string> m_reports;
};

TEST_F(MacroDispatchTest, ValuesConvertBothWays) {
    // Each line asserts inside Lua what came back from the control.
    const char* lines[] = {
        "A.Count = 7 assert(math.type(A.Count) == 'integer' and A.Count == 7)",            // VT_I2 <-> integer
        "A.Count = 2.5 assert(A.Count == 2)",                                               // half to even
        "A.Count = -3.5 assert(A.Count == -4)",
        "A.Colour = 0x7FFFFFFF assert(A.Colour == 2147483647)",                             // VT_I4 limits
        "A.Colour = -2147483648 assert(A.Colour == -2147483648)",
        "A.Gain = 0.1 assert(math.type(A.Gain) == 'float' and A.Gain == 0.1)",              // VT_R8 exact
        "A.Gain = 3 assert(math.type(A.Gain) == 'float' and A.Gain == 3.0)",                // integer into a double
        "A.Gain = '1e3' assert(A.Gain == 1000.0)",                                          // text parsed
        "A.Flag = false assert(A.Flag == false) A.Flag = true assert(A.Flag == true)",      // VT_BOOL <-> boolean
        "A.Label = 'a\\0b\\255' assert(A.Label == 'a\\0b\\255' and #A.Label == 4)",        // bytes, zeros kept
        "A.Label = 12 assert(A.Label == '12')",                                             // number to text
        "A.Label = 2.5 assert(A.Label == '2.5')",
        "A.Label = true assert(A.Label == '-1')",                                           // the platform's VT_BOOL text
        "A.Label = nil assert(A.Label == '')",                                              // nil is empty
        "assert(A:Twice(21) == 42 and math.type(A:Twice(-5)) == 'integer')",                // method result
        "assert(A.Name == 'A' and host.controls.B.Name == 'B')",                            // the extender's name
        "assert(A == host.controls.A and A ~= B)",                                          // identity
        "assert(tostring(A) == 'dispatch object A')",
    };
    for (const char* line : lines) EXPECT_EQ(Run(line), "") << line;
    EXPECT_EQ(m_a->m_count, -4);
    EXPECT_EQ(m_a->m_colour, -2147483647 - 1);
    EXPECT_DOUBLE_EQ(m_a->m_gain, 1000.0);
    EXPECT_EQ(m_a->m_label, "");
    EXPECT_TRUE(m_a->m_flag);
}

TEST_F(MacroDispatchTest, ErrorsNameTheControlAndTheMember) {
    struct {
        const char* source;
        const char* expected;
    } cases[] = {
        {"A.Ticks = 1", "macro Test, line 1: A.Ticks: Property is read-only."},
        {"local x = A.Nope", "macro Test, line 1: A.Nope: no such member"},
        {"A:Nope()", "A.Nope: no such member"},
        {"A.Count = 40000", "A.Count: the value is out of range"},                // beyond VT_I2
        {"A.Colour = 2^40", "A.Colour: the value is out of range"},
        {"A.Count = 'abc'", "A.Count: the value has the wrong type"},
        {"A:Twice('x')", "A.Twice: argument 1 has the wrong type"},
        {"A:Twice()", "A.Twice: wrong number of arguments"},
        {"A:Twice(1, 2)", "A.Twice: wrong number of arguments"},
        {"A.Twice(3)", "Twice: call methods with ':' (object:Twice(...))"},
        {"A.Twice = 1", "A.Twice: a method cannot be assigned"},
        {"A.Count = print", "A.Count: a function value cannot be passed"},
        {"A.Count = {1, 'x'}", "A.Count: only tables of numbers can be passed (element 2 is a string)"},
        {"A.Name = 'C'", "A.Name: The container name of a control cannot be changed."},
        {"local x = A[1]", "members of a dispatch object are named by strings"},
    };
    m_a->m_count = 3;
    for (const auto& c : cases) {
        const std::string error = Run(c.source);
        EXPECT_NE(error.find(c.expected), std::string::npos) << c.source << "\n -> " << error;
        EXPECT_EQ(m_a->m_count, 3) << "a failed write changed the control: " << c.source;
    }
    // A failed macro keeps what it changed before the error; the next one runs.
    std::string error;
    EXPECT_FALSE(m_macros->RunMacro("Fail", error));
    EXPECT_EQ(error, "macro Fail, line 2: A.Ticks: Property is read-only.");
    EXPECT_EQ(m_a->m_count, 5);
    EXPECT_TRUE(m_macros->RunMacro("Count", error)) << error;
    EXPECT_EQ(m_a->m_count, 6);
    EXPECT_FALSE(m_macros->RunMacro("Missing", error));
    EXPECT_EQ(error, "macro Missing: the document has no macro of that name (its macros: Count Fail)");
}

TEST_F(MacroDispatchTest, HostTableAndObjectsResistMetatableTricks) {
    const char* lines[] = {
        "assert(getmetatable(host) == 'host' and getmetatable(host.controls) == 'host')",
        "assert(not pcall(setmetatable, host, nil))",
        "assert(not pcall(function() host.pump = print end))",
        "assert(not pcall(function() host.controls.A = 1 end))",
        "assert(not pcall(function() host.controls.Z = 1 end))",
        // the objects' metatable is hidden, so their finalizer cannot be called by hand
        "assert(getmetatable(A) == 'dispatch object')",
        "assert(not pcall(function() getmetatable(A).__gc(A) end))",
        "assert(not pcall(setmetatable, A, {}))",
        // the views are no tables, so rawset cannot change them either
        "assert(not pcall(rawset, host, 'pixel', 0) and type(host.pixel) == 'function')",
        "assert(not pcall(rawset, host.controls, 'A', 0) and host.controls.A.Name == 'A')",
        // the controls are still reachable and working after all that
        "A.Count = 9 assert(A.Count == 9)",
        // pairs walks the controls; a control named like a library function stays out of the globals
        "local n = 0 for name, c in pairs(host.controls) do n = n + 1 assert(c.Name == name) end assert(n == 3)",
        "assert(type(print) == 'function' and host.controls.print.Name == 'print')",
    };
    for (const char* line : lines) EXPECT_EQ(Run(line), "") << line;
}

TEST_F(MacroDispatchTest, MouseInputWaitsForThePump) {
    EXPECT_EQ(Run("host.mouse('down', 15, 25)"), "");
    EXPECT_EQ(m_a->m_lastClick, CPoint(-1, -1));  // queued, not delivered
    EXPECT_EQ(Run("host.mouse('move', 20, 30)"), "");
    EXPECT_EQ(m_a->m_lastClick, CPoint(-1, -1));
    EXPECT_EQ(Run("host.pump(0)"), "");
    EXPECT_EQ(m_a->m_lastClick, CPoint(10, 10));  // the move, in client coordinates, button held
    EXPECT_TRUE(m_a->m_lastClickFlags & MK_LBUTTON);
    EXPECT_NE(Run("host.mouse('wiggle', 0, 0)").find("host.mouse: unknown action 'wiggle'"), std::string::npos);
}

TEST_F(MacroDispatchTest, PumpTracePixelRenderAndSave) {
    // A's stored Flag runs a 100 ms timer that traces each tick.
    EXPECT_EQ(Run("host.pump(250) local t = host.trace()\n"
                  "assert(#t == 2 and t[1] == 'tick 1' and t[2] == 'tick 2', #t)"),
              "");
    EXPECT_EQ(Run("assert(host.pixel(10, 20) == 0x0000FF)\n"  // A is red (0x00BBGGRR)
                  "assert(host.pixel(5, 5) == 0xFFFFFF)\n"
                  "assert(host.pixel(-1, 0) == nil and host.pixel(200, 0) == nil)"),
              "");
    EXPECT_EQ(Run("A.Count = 11 host.render('page.png') host.save('saved.json')"), "");
    EXPECT_TRUE(std::filesystem::exists(PathOf("page.png")));
    EXPECT_TRUE(std::filesystem::exists(PathOf("saved.json")));
    // Only pictures and documents are written.
    EXPECT_NE(Run("host.render('page.txt')").find("host.render: the file name must end with .png"), std::string::npos);
    EXPECT_NE(Run("host.save('x.sh')").find("host.save: the file name must end with .json"), std::string::npos);
    EXPECT_NE(Run("host.pump(-1)").find("bad argument #1 to 'pump'"), std::string::npos);
    // A long pump is charged by the milliseconds it covers: a day of virtual time is refused up front.
    EXPECT_NE(Run("host.pump(86400000)").find("instruction limit"), std::string::npos);
    EXPECT_EQ(m_doc.GetTime(), 250u);

    CHostDocument reopened;
    std::string error;
    m_macros->Close();
    m_doc.Close();
    ASSERT_TRUE(reopened.Open(PathOf("saved.json"), error)) << error;
    EXPECT_EQ(static_cast<CLogCtrl*>(reopened.GetControl("A"))->m_count, 11);
}

TEST_F(MacroDispatchTest, ClosingTheDocumentClosesLuaFirst) {
    EXPECT_EQ(Run("kept = A keptList = {A, B, host.controls.A}"), "");
    EXPECT_TRUE(m_macros->IsStarted());
    m_doc.Close();  // the close hook closes the state before the controls go
    EXPECT_FALSE(m_macros->IsStarted());
    std::string error;
    EXPECT_FALSE(m_macros->RunMacro("Count", error));
    EXPECT_EQ(error, "macro Count: no document is open");
    EXPECT_FALSE(m_macros->RunSource("x = 1", "macro X", error));
    EXPECT_EQ(error, "macro X: no document is open");
    // The leak check of the fixture proves every reference the objects held was given back.
}

TEST_F(MacroDispatchTest, TheStateIsSharedBetweenRuns) {
    EXPECT_EQ(Run("counter = 1"), "");
    EXPECT_EQ(Run("counter = counter + 1 print(counter)"), "");
    EXPECT_EQ(m_printed, (std::vector<std::string>{"2"}));
}

}  // namespace
