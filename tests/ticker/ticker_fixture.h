// Runs the ticker, linked straight into the test program, inside a
// scripted host under the manual clock, and reaches its fields.
#pragma once

#include <gtest/gtest.h>
#include <qpm/module.h>
#include <qpm_platform.h>

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "message_ticker.h"
#include "support/attribute_list.h"
#include "support/host_extensions.h"
#include "support/scripted_host.h"

using Attributes = AttrList;

class TickerTest : public ::testing::Test {
protected:
    void SetUp() override {
        HoldTime(1000);
        QPMSetInstance(nullptr);
        tempDir = MakeTempDirectory("qpm_ticker");
        ASSERT_FALSE(tempDir.empty());
        UseWindowsDirectory(tempDir);
    }
    void TearDown() override {
        if (window && IsWindow(window)) DestroyWindow(window);
        RemoveTempDirectory(tempDir, files);
    }

    // One period of the scroll timer.
    void Tick() {
        DeliverTimerPeriod(window, MessageTicker::kScrollTimer, MessageTicker::kScrollPeriod);
    }

    // Creates the ticker window with these attributes (and data file).
    HWND Create(const Attributes& attrs, int width = 100, int height = 20,
                const char* dataFile = nullptr) {
        attributes = std::make_unique<AttributeList>(attrs);
        file = dataFile ? dataFile : "";
        InitRecord init{};
        init.size = sizeof init;
        attributes->Fill(&init);
        init.dataFile = dataFile ? &file[0] : nullptr;
        init.width = width;
        init.height = height;
        init.backColor = backColor;
        init.textColor = textColor;
        window = QPMInit(host.window(), &init);
        return window;
    }
    // Creates and starts; returns Start's answer.
    LRESULT Start(const Attributes& attrs, int width = 100, int height = 20,
                  const char* dataFile = nullptr) {
        if (!Create(attrs, width, height, dataFile)) return -99;
        return SendMessageA(window, QPMM_START, 0, 0);
    }

    // The ticker object, with its record attached as during a call.
    MessageTicker* Ticker() {
        HGLOBAL block = reinterpret_cast<HGLOBAL>(GetWindowLongPtrA(window, 0));
        auto* record = static_cast<InstanceRecord*>(GlobalLock(block));
        GlobalUnlock(block);  // the block stays put: nothing moves it while unlocked here
        auto* ticker = static_cast<MessageTicker*>(record->component);
        ticker->instance = record;
        return ticker;
    }
    std::string Text() {
        MessageTicker* t = Ticker();
        return t->text ? std::string(t->text, size_t(t->textLength)) : std::string("<none>");
    }

    std::string WriteFile(const std::string& name, const std::string& bytes) {
        std::string path = tempDir + "/" + name;
        FILE* f = fopen(path.c_str(), "wb");
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
        files.push_back(path);
        return path;
    }

    ScriptedHost host{400, 100};
    HWND window = nullptr;
    COLORREF backColor = RGB(255, 255, 255);
    COLORREF textColor = RGB(0, 0, 255);
    std::string tempDir;
    std::vector<std::string> files;

private:
    std::unique_ptr<AttributeList> attributes;
    std::string file;
};
