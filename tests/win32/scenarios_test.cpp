// The scenarios both windows go through, here through the Win32 window with real messages.
#include "support/window_scenarios.h"

#include "win32_support.h"

namespace win32 {
namespace {

class Win32Driver : public scenarios::Driver {
public:
    explicit Win32Driver(std::function<void(const scenarios::Action&)> act, TForm1& window)
        : act_(std::move(act)), window_(window) {}
    void Do(const scenarios::Action& action) override { act_(action); }
    std::string Cell(int column, int row) override { return window_.Core().Model().grid.Cell(column, row); }
    std::string Combo(int number) override {
        HWND combos[] = {window_.ComboBox1, window_.ComboBox2, window_.ComboBox3};
        return TForm1::TextOf(combos[number - 1]);
    }

private:
    std::function<void(const scenarios::Action&)> act_;
    TForm1& window_;
};

class Scenarios : public WindowTest, public ::testing::WithParamInterface<scenarios::Scenario> {
protected:
    void Act(const scenarios::Action& action) {
        HWND buttons[] = {window->Button1, window->Button2, window->Button3, window->Button4,
                          window->Button5, window->Button6, window->Button7};
        HWND combos[] = {window->ComboBox1, window->ComboBox2, window->ComboBox3};
        switch (action.kind) {
            case scenarios::Action::Click: Click(buttons[action.number - 1]); break;
            case scenarios::Action::TypeCombo: TypeIntoCombo(combos[action.number - 1], action.text); break;
            case scenarios::Action::PickItem: PickItem(combos[action.number - 1], action.index); break;
            case scenarios::Action::TypeCell: TypeIntoCell(action.number, action.index, action.text); break;
        }
    }
};

TEST_P(Scenarios, SaySaveAndShowAsTheTableSays) {
    Win32Driver driver([this](const scenarios::Action& action) { Act(action); }, *window);
    scenarios::Run(GetParam(), driver, *this);
}

INSTANTIATE_TEST_SUITE_P(Window, Scenarios, ::testing::ValuesIn(scenarios::All()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace win32
