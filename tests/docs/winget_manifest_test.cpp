// The winget manifest in docs/winget: it must name the product as setup.exe
// registers it, or winget cannot find the installed package, and its
// switches, as winget joins them, must start the unattended run it means.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <string>

#include "core/command_line.h"
#include "core/config.h"

namespace {

std::string WithoutSpaces(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    return text;
}

// VelmoraUtilities.TrovadoPro, from the record.
std::string Identifier() {
    return WithoutSpaces(g_product.companyName) + "." + WithoutSpaces(g_product.productName);
}

// One manifest of the product's version, by its suffix ("", ".installer",
// ".locale.en-US"); "" when there is none.
std::string Manifest(const std::string& suffix) {
    const std::string id = Identifier();
    const std::string path = std::string(PORTAVO_SOURCE_DIR) + "/docs/winget/manifests/" +
                             static_cast<char>(tolower(id[0])) + "/" + WithoutSpaces(g_product.companyName) +
                             "/" + WithoutSpaces(g_product.productName) + "/" + g_product.version + "/" + id +
                             suffix + ".yaml";
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The value of the first "Key: value" line (also as a list item "- Key:"),
// without its double quotes; "<none>" when no line has the key.
std::string Value(const std::string& manifest, const std::string& key) {
    std::istringstream lines(manifest);
    for (std::string line; std::getline(lines, line);) {
        size_t at = line.find_first_not_of(" -");
        if (at == std::string::npos || line.compare(at, key.size() + 2, key + ": ") != 0) continue;
        std::string value = line.substr(at + key.size() + 2);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        return value;
    }
    return "<none>";
}

std::string Replace(std::string text, const std::string& token, const std::string& by) {
    const size_t at = text.find(token);
    return at == std::string::npos ? text : text.replace(at, token.size(), by);
}

TEST(WingetManifest, NamesTheProductAsSetupRegistersIt) {
    const std::string version = Manifest(""), installer = Manifest(".installer"),
                      locale = Manifest(".locale.en-US");
    ASSERT_FALSE(version.empty() || installer.empty() || locale.empty())
        << "no manifests for " << Identifier() << " " << g_product.version;
    for (const std::string* manifest : {&version, &installer, &locale}) {
        EXPECT_EQ(Value(*manifest, "PackageIdentifier"), Identifier());
        EXPECT_EQ(Value(*manifest, "PackageVersion"), g_product.version);
    }
    EXPECT_EQ(Value(locale, "PackageName"), g_product.productName);
    EXPECT_EQ(Value(locale, "Publisher"), g_product.companyName);
    // The uninstall entry: its key is the product name, its values those of
    // the registry step.
    EXPECT_EQ(Value(installer, "DisplayName"), g_product.productName);
    EXPECT_EQ(Value(installer, "Publisher"), g_product.companyName);
    EXPECT_EQ(Value(installer, "DisplayVersion"), std::string("v") + g_product.version);
    EXPECT_EQ(Value(installer, "ProductCode"), g_product.productName);
}

TEST(WingetManifest, SwitchesStartTheUnattendedRuns) {
    const std::string installer = Manifest(".installer");
    const std::string folder = "C:\\Program Files (x86)\\Velmora Apps", log = "C:\\Users\\Ann Lee\\setup.log";
    const std::string options = Replace(Value(installer, "InstallLocation"), "<INSTALLPATH>", folder) + " " +
                                Replace(Value(installer, "Log"), "<LOGPATH>", log);
    const struct {
        const char* key;
        RunMode mode;
    } rows[] = {{"Silent", kRunVerySilent}, {"SilentWithProgress", kRunSilent}};
    for (const auto& row : rows) {
        // winget puts the mode's switch first, then the location and the log.
        const std::string line = Value(installer, row.key) + " " + options;
        SCOPED_TRACE(line);
        SetupSwitches switches;
        ReadSetupSwitches(line.c_str(), &switches);
        EXPECT_EQ(switches.mode, row.mode);
        EXPECT_STREQ(switches.refused, "");
        EXPECT_STREQ(switches.dir, folder.c_str());
        EXPECT_TRUE(switches.log);
        EXPECT_STREQ(switches.logFile, log.c_str());
    }
}

}  // namespace
