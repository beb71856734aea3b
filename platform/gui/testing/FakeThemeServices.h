// A theme service for tests: says visual styles are available, fills each
// part it is asked to draw with one colour and notes the requests.
#pragma once

#include "Themes.h"

#include <string>
#include <vector>

class TFakeThemeServices : public TThemeServices {
public:
    struct TRequest {
        std::string Class;
        int Part = 0;
        int State = 0;
        TRect R;
    };
    std::vector<TRequest> Requests;
    TColorRef Fill = RGB(255, 0, 255);

    bool Available() const override { return true; }
    bool DrawBackground(HDC dc, const std::string& themeClass, int part, int state, const TRect& r) override
    {
        Requests.push_back({themeClass, part, state, r});
        HBRUSH b = CreateSolidBrush(Fill);
        FillRect(dc, r, b);
        DeleteObject(b);
        return true;
    }
};

// Puts the fake in place for the life of a scope.
struct TFakeThemeScope {
    TFakeThemeServices* Fake;
    TFakeThemeScope()
    {
        auto f = std::make_unique<TFakeThemeServices>();
        Fake = f.get();
        SetThemeServices(std::move(f));
    }
    ~TFakeThemeScope() { SetThemeServices(nullptr); }
};
