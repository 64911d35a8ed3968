// For the folder picker tests: a temporary home with a few folders, made
// the user's home; and answering the picker from its set-up callback, so no
// nested event loop is needed.
#pragma once

#include "EnvOverride.h"
#include "ExBrowseDlg.h"
#include "ExFolderPicker.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <sys/stat.h>

namespace pickertest {

class PickerHome {
public:
    PickerHome()
        : m_home(m_dir.file("home")),
          m_homeOverride("HOME", m_home),
          m_configOverride("XDG_CONFIG_HOME", m_home + "/.config")
    {
        for (const char* folder : {"", "/Desktop", "/Documents", "/Templates", "/Pictures", "/Pictures/sorted",
                                   "/Pictures/kept"})
            EXPECT_EQ(::mkdir((m_home + folder).c_str(), 0755), 0) << folder;
    }
    const std::string& home() const { return m_home; }
    std::string path(const std::string& relative) const { return m_home + "/" + relative; }

private:
    testfiles::TempFolder m_dir;
    std::string m_home;
    testfiles::EnvOverride m_homeOverride;
    testfiles::EnvOverride m_configOverride;
};

// Makes dialog's set-up end with answer(picker); a picker the answer left
// open is cancelled and reported.
inline void AnswerOnInit(TExBrowseDlg& dialog, std::function<void(TExFolderPicker&)> answer)
{
    dialog.OnInit = [&dialog, answer](TObject* sender) {
        EXPECT_EQ(sender, &dialog);
        TExFolderPicker& picker = *dialog.Picker();
        answer(picker);
        if (!picker.Finished()) {
            ADD_FAILURE() << "the picker was left open";
            picker.Cancel();
        }
    };
}

}  // namespace pickertest
