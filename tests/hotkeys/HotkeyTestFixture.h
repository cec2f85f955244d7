#pragma once
// Fresh hotkey state for each test: in-memory preferences, a fake desktop and a US keyboard.

#include "support/FakeHotkeyBackend.h"
#include "hotkeys/GlobalHotkeys.h"
#include "hotkeys/KeyboardLayout.h"
#include "platform/Preferences.h"

#include <gtest/gtest.h>

class HotkeyTestFixture : public ::testing::Test {
protected:
    using Shortcut = GlobalHotkeys::Shortcut;
    using Name = GlobalHotkeys::Name;
    using Key = GlobalHotkeys::Key;

    void SetUp() override {
        Preferences::setStandard(&preferences);
        GlobalHotkeys::resetForTesting();
        backend.held.clear();
        backend.grabs.clear();
        backend.ungrabs.clear();
        backend.unavailable.clear();
        GlobalHotkeys::installBackend(&backend);
        GlobalHotkeys::KeyboardLayout::setCurrent(usLayout());
    }
    void TearDown() override {
        GlobalHotkeys::resetForTesting();
        Preferences::setStandard(nullptr);
    }

    static std::shared_ptr<const GlobalHotkeys::KeyboardLayout> usLayout() {
        static const auto layout = GlobalHotkeys::KeyboardLayout::fromNames(QStringLiteral("us"));
        return layout;
    }
    static Shortcut optionCommand(Key key) {
        return Shortcut(key.rawValue,
                        GlobalHotkeys::CarbonModifier::option | GlobalHotkeys::CarbonModifier::command);
    }
    QString stored(const Name& name) const {
        return preferences.value(GlobalHotkeys::userDefaultsKey(name)).toString();
    }

    Preferences preferences; // in memory
    FakeHotkeyBackend backend;
};
