#pragma once

#include "app/Window.h"

// The main window: the hub that owns the color state and runs every command.
class TFormMain final : public Window {
public:
    static constexpr const wchar_t* ClassName = L"TFormMain";

    // Creates the window (its creation handler runs); it is shown by Show.
    explicit TFormMain(HINSTANCE instance);
    ~TFormMain() override;

    void Show();

    bool Creating() const noexcept { return FCreating; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void FormCreate();
    void FormShow();
    void FormDestroy();

    int Scale(int pixels) const noexcept;

    HINSTANCE m_instance;
    UINT m_dpi = USER_DEFAULT_SCREEN_DPI;
    bool FCreating = false;
};

// The one main window, while it exists.
extern TFormMain* FormMain;
