#include "fuzz/tools/FuzzNameSources.h"

#include "platform/ui/UiTestSupport.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

// The class archive and interface file fuzz targets try the classes and names their seeds and dictionaries hold,
// which make-fuzz-seeds writes from the registries as built. A class or a name added since the files were last
// written is one those targets never try: the files must hold everything the registries offer.
namespace {

std::string fuzzNameSourcesRead(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

// The classes this binary registers for its own cases; the fuzz targets link only the libraries.
const std::set<std::string> FuzzNameSourcesTestClasses { "ControlVisitRows", "VisitModel" };

class FuzzNameSources : public uitest::UiTest { };

TEST_F(FuzzNameSources, TheSeedsAndDictionariesHoldEveryRegisteredClassAndName)
{
    const std::filesystem::path fuzz = FUZZ_SOURCE_DIR;
    const auto archiveWords = fuzzNameSourcesRead(fuzz / "dictionaries" / "class_archives.dict");
    const auto interfaceWords = fuzzNameSourcesRead(fuzz / "dictionaries" / "interface_file.dict");
    ASSERT_FALSE(archiveWords.empty() || interfaceWords.empty()) << "no dictionaries in " << fuzz;
    auto holds = [](const std::string& dictionary, const std::string& word) {
        return dictionary.find(fuzznames::dictionaryEntry(word) + "\n") != std::string::npos;
    };

    std::vector<std::string> missing;
    for (const auto* cls : fnd::ClassRegistry::shared().classesDerivedFrom(fnd::Object::staticClassInfo())) {
        const std::string name = cls->name.utf8();
        if (FuzzNameSourcesTestClasses.contains(name))
            continue;
        if (!holds(interfaceWords, "class=\"" + fuzznames::xmlEscaped(name) + "\""))
            missing.push_back("interface_file.dict lacks the class " + name);
        if (fuzznames::seedableInstance(*cls)
            && !std::filesystem::exists(fuzz / "corpus" / "class_archives" / fuzznames::seedFileNameOf(name)))
            missing.push_back("corpus/class_archives lacks a seed of " + name);
    }
    for (const auto& name : fuzznames::registeredNames()) {
        if (!holds(archiveWords, "<string>" + fuzznames::xmlEscaped(name) + "</string>"))
            missing.push_back("class_archives.dict lacks the registered name " + name);
        if (!holds(interfaceWords, ">" + fuzznames::xmlEscaped(name) + "<"))
            missing.push_back("interface_file.dict lacks the registered name " + name);
    }
    std::string list;
    for (const auto& line : missing)
        list += "  " + line + "\n";
    EXPECT_TRUE(missing.empty()) << "run build/sanitize/fuzz/make-fuzz-seeds fuzz and commit what it writes:\n" << list;
}

}
