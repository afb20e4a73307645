#include "graphics/value_entry.h"

#include "framework/param_record.h"
#include "graphics/control.h"
#include "graphics/graphics.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

std::string FormatValueForEntry(const IParamRecord& param) {
    double v = param.negateDisplay ? -param.value : param.value;
    char buf[64];
    if (param.displayPrecision != 0)
        std::snprintf(buf, sizeof buf, "%.*f", int(param.displayPrecision), v);
    else
        std::snprintf(buf, sizeof buf, "%d", int(TruncateToInt32(v)));
    return buf;
}

bool EntryIsChoice(const IParamRecord& param) {
    return param.type == 3 || (param.type == 1 && !param.displayTexts.empty());
}

double EnteredTextToNormalized(const IParamRecord& param, const char* text) {
    char buf[32] = {};
    if (text) std::strncpy(buf, text, sizeof buf - 1);
    double plain = 0.0;
    if (param.type == 3 || param.type == 1) {
        for (const DisplayText& d : param.displayTexts) {
            if (std::strcmp(d.text, buf) == 0) {
                plain = d.value;
                break;
            }
        }
    } else {
        plain = std::atof(buf);
        // "nan" reads as a number to atof; it is no more a value than any other word.
        if (std::isnan(plain)) plain = 0.0;
        if (param.negateDisplay) plain = -plain;
    }
    return param.ToNormalized(plain);
}

void CommitEnteredText(IControl* control, IParamRecord* param, const char* text) {
    if (!control) return;
    if (param)
        control->ApplyUserValue(EnteredTextToNormalized(*param, text));
    else
        control->ApplyEnteredText(text ? text : "");
}

bool EntryAcceptsCharacter(const IParamRecord* param, int ch) {
    if (!param || ch == '\b' || param->type == 0) return true;
    bool digitOrSign = ch == '+' || ch == '-' || (ch >= '0' && ch <= '9');
    if (param->type >= 1 && param->type <= 3) return digitOrSign;
    if (param->type == 4) return digitOrSign || ch == '.';
    return true;
}

void IGraphics::ShowValueEntry(IControl* control, IParamRecord* param, const IPixelRect* r) {
    if (!control || !param || !r) return;
    if (EntryIsChoice(*param)) {
        IMenuList menu;
        std::string current = param->FormatForHost(param->value, false);
        for (int k = 0; k < int(param->displayTexts.size()); ++k) {
            const char* text = param->FindDisplayText(k);
            menu.AddEntry(text, current == text ? IMenuEntry::kTicked : 0);
        }
        IMenuList* chosen = ShowPopupMenu(menu, *r);
        if (chosen && chosen->chosenIndex >= 0)
            control->ApplyUserValue(param->ToNormalized(chosen->chosenIndex));
        return;
    }
    std::string text = FormatValueForEntry(*param);
    ShowTextEntry(control, control->TextStyle(), *r, text.c_str(), param);
}
