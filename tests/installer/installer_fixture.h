// Runs the installer as a host does: a copy of its library, loaded from
// the test's own folder (installed modules land beside it), inside a
// scripted host that serves the module to download. The Windows
// directory (DRX.REG) is that folder too.
#pragma once

#include <gtest/gtest.h>
#include <qpm/protocol.h>
#include <qpm_platform.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "installer/module/test_module_state.h"
#include "qpm_installer.h"
#include "status_texts.h"
#include "support/attribute_list.h"
#include "support/host_extensions.h"
#include "support/scripted_host.h"

constexpr char kModuleUrl[] = "http://127.0.0.1/module.dll";
constexpr LONG_PTR kModuleHandle = 7;
constexpr char kNone[] = "<none>";

template <class Fn>
Fn Proc(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)(void)>(GetProcAddress(module, name)));
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class InstallerTest : public ::testing::Test {
protected:
    void SetUp() override {
        HoldTime(1000);
        dir = MakeTempDirectory("qpm_installer");
        UseWindowsDirectory(dir);
        LoadInstaller(dir + "/" + std::filesystem::path(QPM_VARNOQ_LIBRARY).filename().string());
    }
    void TearDown() override {
        QpmSetMessageBoxHandler(nullptr, nullptr);
        DestroyWindow(host.window());  // and the installers in it, before their library goes
        FreeLibrary(library);
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    void LoadInstaller(const std::string& copy) {
        ASSERT_TRUE(CopyFileA(QPM_VARNOQ_LIBRARY, copy.c_str(), FALSE)) << copy;
        library = LoadLibraryA(copy.c_str());
        Proc<void(WINAPI*)(HINSTANCE)>(library, "QPMSetInstance")(library);
    }

    HWND Create(const AttrList& attrs) {
        AttributeList list(attrs);
        InitRecord init{};
        init.size = sizeof init;
        list.Fill(&init);
        init.width = 400;
        init.height = 80;
        init.backColor = RGB(255, 255, 255);
        return Proc<HWND(WINAPI*)(HWND, InitRecord*)>(library, "QPMInit")(host.window(), &init);
    }
    // An installer for `type` whose module is `bytes`, started.
    HWND Begin(const std::string& bytes, AttrList attrs = {}) {
        attrs.insert(attrs.begin(),
                     {{"TYPE", type}, {"QPMSRC", kModuleUrl}, {"QPMPLATFORMS", "Win32"}});
        host.ServeStream(kModuleUrl, kModuleHandle, bytes);
        HWND w = Create(attrs);
        SendMessageA(w, QPMM_START, 0, 0);
        return w;
    }
    // The whole module arrives; the question is answered `reply`.
    void Deliver(HWND w) {
        QpmSetMessageBoxHandler(
            [](HWND, LPCSTR text, LPCSTR, UINT, void* self) {
                auto* t = static_cast<InstallerTest*>(self);
                t->question = text;
                if (t->duringQuestion) t->duringQuestion();
                return t->reply;
            },
            this);
        SendMessageA(w, QPMM_STREAMREADY, 0, kModuleHandle);
    }
    HWND Install(const std::string& bytes, const AttrList& attrs = {}) {
        HWND w = Begin(bytes, attrs);
        Deliver(w);
        return w;
    }

    QPMInstaller* Installer(HWND w) {
        HGLOBAL block = reinterpret_cast<HGLOBAL>(GetWindowLongPtrA(w, 0));
        auto* record = static_cast<InstanceRecord*>(GlobalLock(block));
        GlobalUnlock(block);
        return record ? static_cast<QPMInstaller*>(record->component) : nullptr;
    }
    // The DRX.REG value of `type`, or kNone.
    std::string Entry(const char* section) {
        char value[600];
        GetPrivateProfileStringA(section, type.c_str(), kNone, value, sizeof value, "DRX.REG");
        return value;
    }
    static bool Exists(const std::string& path) {
        return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    static std::string TestModule() { return ReadBytes(QPM_TEST_MODULE); }

    ScriptedHost host{400, 100};
    std::string type = "application/x-test";  // the type the tests install
    std::string dir;
    HMODULE library = nullptr;
    int reply = IDYES;
    std::string question;
    std::function<void()> duringQuestion;
};
