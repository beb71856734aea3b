// Input methods over a window: composing text opens a composition
// (WM_IME_STARTCOMPOSITION), committing ends it (WM_IME_ENDCOMPOSITION) and
// the committed characters come as WM_CHAR, Chinese included.
#include "StdFormFixture.h"
#include "TextUtils.h"

namespace {

class TComposeLog : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<std::string> Log;
    void WndProc(TMessage& m) override
    {
        if (m.Msg == WM_IME_STARTCOMPOSITION) Log.push_back("start");
        else if (m.Msg == WM_IME_ENDCOMPOSITION) Log.push_back("end");
        else if (m.Msg == WM_CHAR) Log.push_back(Utf16ToUtf8(std::u16string(1, char16_t(m.WParam))));
        TCustomControl::WndProc(m);
    }
};

using InputMethodTest = StdFormTest;

TEST_F(InputMethodTest, ACompositionStartsEndsAndCommitsItsCharacters)
{
    auto* c = Make<TComposeLog>(10, 10, 100, 50);
    ShowForm();
    c->SetFocus();
    GuiTest::ProcessEvents();
    GuiTest::ComposeText("ni");
    GuiTest::ComposeText("nihao");   // still the same composition
    GuiTest::TypeText("你好", true);
    EXPECT_EQ(c->Log, (std::vector<std::string>{"start", "end", "你", "好"}));
    c->Log.clear();
    // Text committed without composing opens none; a dropped composition ends it.
    GuiTest::TypeText("吗", true);
    GuiTest::ComposeText("a");
    GuiTest::ComposeText("");
    EXPECT_EQ(c->Log, (std::vector<std::string>{"吗", "start", "end"}));
}

} // namespace
