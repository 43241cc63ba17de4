#pragma once
// The help window "Hilfe": six fixed pages, chosen by the help topic and paged
// through in a ring. Created hidden at start-up and only shown and hidden.
#include "ui/FormWindow.h"

#include <cstdint>

namespace kelvorin::ui {

class THelpForm : public FormWindow {
public:
    enum ControlId : int {
        TopLabel = 1,
        RichEdit1,
        RichEdit1000,
        RichEdit2000,
        RichEdit3000,
        RichEdit4000,
        RichEdit5000,
        ZurueckBitBtn,
        WeiterBitBtn,
        OKBitBtn,
    };

    explicit THelpForm(HINSTANCE instance);

    // The help context to show; the window shows its page whenever it is activated.
    std::int32_t HelpTopic() const { return helpTopic_; }
    void SetHelpTopic(std::int32_t topic) { helpTopic_ = topic; }
    // The page shown, 0 to 5.
    std::int32_t HelpPage() const { return helpPage_; }

protected:
    void FormActivate() override;

private:
    void ZurueckBitBtnClick();
    void WeiterBitBtnClick();
    void OKBitBtnClick();
    void SelectPage();

    std::int32_t helpTopic_ = 0;
    std::int32_t helpPage_ = 0;
};

} // namespace kelvorin::ui
