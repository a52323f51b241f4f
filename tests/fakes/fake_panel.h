#pragma once

#include <exception>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/panel.h"

namespace fakes {

// The panel's state as plain values, with a log of the operations that change it.
class FakePanel : public platform::Panel {
  public:
    platform::Colour LampColour() const override { return lamp; }
    void SetLampColour(platform::Colour colour) override {
        lamp = colour;
        log.emplace_back(L"lamp");
    }
    std::wstring VersionText() const override { return version; }
    void SetVersionText(const std::wstring& text) override { version = text; }
    bool IsChecked(platform::OptionBox box) const override { return checked.at(box); }
    void SetChecked(platform::OptionBox box, bool value) override {
        if (checked.at(box) != value) {
            checked[box] = value;
            clicks.push_back(box);
        }
    }
    void SetRegisteredPathCaption(const std::wstring& text) override { registeredCaption = text; }
    void SetCaption(const std::wstring& text) override { caption = text; }
    int Left() const override { return left; }
    int Top() const override { return top; }
    void SetPosition(int leftEdge, int topEdge) override {
        left = leftEdge;
        top = topEdge;
        log.emplace_back(L"move");
    }
    void StopTimer() override {
        timerRunning = false;
        log.emplace_back(L"stop");
    }
    void StartTimer() override {
        timerRunning = true;
        log.emplace_back(L"start");
    }
    void Close() override {
        ++closeRequests;
        log.emplace_back(L"close");
    }
    // The box's own message loop goes on delivering the timer's ticks while the timer runs.
    void ShowErrorReport(const std::exception_ptr& error) override {
        errors.push_back(error);
        log.emplace_back(L"error");
        if (timerRunning && tickInsideBox) {
            tickInsideBox();
        }
        log.emplace_back(L"error closed");
    }
    platform::WindowHandle NativeHandle() const override { return handle; }
    platform::PanelFields& Fields() override { return fields; }
    std::optional<std::wstring> RunSaveDialog(const std::wstring& initialFolder,
                                              const std::wstring& fileName) override {
        dialogs.push_back(initialFolder + L"|" + fileName);
        return saveAs;
    }

    platform::Colour lamp = platform::kLampWhite;
    std::wstring version = L"24";
    std::map<platform::OptionBox, bool> checked = StatesAtDesign();
    std::vector<platform::OptionBox> clicks;
    std::wstring registeredCaption;
    std::wstring caption = L"\u25A0 MERIDO_B 1.10";
    int left = 0;
    int top = 0;
    bool timerRunning = true;
    int closeRequests = 0;
    platform::WindowHandle handle{0x777};
    platform::PanelFields fields;
    std::vector<std::wstring> log;
    std::vector<std::wstring> dialogs;   // "folder|file name" of each save dialog shown
    std::optional<std::wstring> saveAs;  // what the user accepts; nothing: cancelled
    std::vector<std::exception_ptr> errors;
    std::function<void()> tickInsideBox;  // the monitor's tick, for the box's loop to run

  private:
    static std::map<platform::OptionBox, bool> StatesAtDesign() {
        std::map<platform::OptionBox, bool> states;
        for (const platform::OptionBoxRow& row : platform::kOptionBoxes) {
            states[row.box] = row.ticked;
        }
        return states;
    }
};

}  // namespace fakes
