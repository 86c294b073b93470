// Writes what the class registry as built tells the fuzz targets that read class names:
// - corpus/class_archives/<class>: a keyed archive of a default instance of every class that adopts keyed coding;
// - dictionaries/class_archives.dict: every key those archives hold, every class name they name, every name the other
//   registries hold (value transformers, themes, tab styles: FuzzNameSources.h) and numbers at the edges of what
//   readers take, in the archive's own spelling;
// - dictionaries/interface_file.dict: every class name and every property name the classes declare, the registries'
//   names, with the same numbers as interface files spell them.
// A test of the registry (tests/registry/FuzzNameSourcesTest.cpp) fails while these files miss a registered name.
// Classes whose default instance cannot be archived, or whose archive does not read back, are listed on stderr: those
// are faults to mend, and the exit status is 1.
//
// Usage: make-fuzz-seeds FUZZ_DIR   (the source tree's fuzz/ folder; build/sanitize/fuzz/make-fuzz-seeds fuzz)
#include "../EdgeNumbers.h"
#include "FuzzNameSources.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/archiving/PropertyList.h"
#include "platform/foundation/detail/KeyedArchiveFormat.h"
#include "platform/foundation/detail/PropertyListText.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <limits>
#include <set>
#include <string>
#include <vector>

namespace {

namespace KeyedFormat = fnd::detail::KeyedArchiveFormat;

bool writeFile(const std::filesystem::path& path, std::string_view contents)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), std::streamsize(contents.size()));
    return bool(out);
}

// An archive with the text of its dates taken out: objects stamp the moment they were made.
std::string withoutDates(std::string text)
{
    for (auto start = text.find("<date>"); start != std::string::npos; start = text.find("<date>", start + 6))
        if (auto end = text.find("</date>", start); end != std::string::npos)
            text.erase(start + 6, end - start - 6);
    return text;
}

// A seed is written again only when more than its dates changed, so running the tool twice changes nothing.
void writeSeed(const std::filesystem::path& path, std::string_view archive)
{
    std::ifstream in(path, std::ios::binary);
    const std::string old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in || withoutDates(old) != withoutDates(std::string(archive)))
        writeFile(path, archive);
}

bool writeDictionary(
    const std::filesystem::path& path, const std::string& heading, const std::set<std::string>& entries)
{
    std::string text = heading;
    for (const auto& entry : entries)
        text += fuzznames::dictionaryEntry(entry) + "\n";
    return writeFile(path, text);
}

// The keys and class names an archive holds, as it spells them.
void harvestArchive(const fnd::Value& node, std::set<std::string>& keys, std::set<std::string>& classNames)
{
    if (auto* dictionary = node.dictionary()) {
        for (const auto& [key, value] : *dictionary) {
            keys.insert(key.utf8());
            if (key == KeyedFormat::HierarchyKey)
                if (auto* hierarchy = value.array())
                    for (const auto& name : *hierarchy)
                        if (auto* string = name.string())
                            classNames.insert(string->utf8());
            harvestArchive(value, keys, classNames);
        }
    } else if (auto* array = node.array()) {
        for (const auto& element : *array)
            harvestArchive(element, keys, classNames);
    }
}

struct Harvest {
    std::set<std::string> archiveEntries;
    std::set<std::string> interfaceEntries;
    std::vector<std::string> failures;
};

// Archives a default instance of the class into the corpus and takes in its keys; a class that does not adopt keyed
// coding, or cannot be made without arguments, has no seed.
void seedClass(const fnd::ClassInfo& cls, const std::filesystem::path& corpus, Harvest& harvest)
{
    auto object = fuzznames::seedableInstance(cls);
    if (!object)
        return;
    const std::string name = cls.name.utf8();
    auto archive = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(object));
    if (!archive) {
        harvest.failures.push_back(
            name + ": a default instance cannot be archived: " + archive.error().localizedDescription().utf8());
        return;
    }
    auto decoded = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*archive);
    if (!decoded)
        harvest.failures.push_back(name + ": the archive of a default instance does not read back: "
            + decoded.error().localizedDescription().utf8());
    writeSeed(corpus / fuzznames::seedFileNameOf(name), archive->view());

    auto list = fnd::PropertyList::read(*archive);
    if (!list)
        return;
    std::set<std::string> keys, classNames;
    harvestArchive(*list, keys, classNames);
    for (const auto& key : keys)
        harvest.archiveEntries.insert("<key>" + fuzznames::xmlEscaped(key) + "</key>");
    for (const auto& className : classNames)
        harvest.archiveEntries.insert("<string>" + fuzznames::xmlEscaped(className) + "</string>");
}

// The class's own property names (its superclasses are registered classes of their own) and its name, as an interface
// file spells them.
void harvestInterfaceNames(const fnd::ClassInfo& cls, Harvest& harvest)
{
    harvest.interfaceEntries.insert("class=\"" + fuzznames::xmlEscaped(cls.name.utf8()) + "\"");
    for (const auto& [property, accessors] : cls.members.properties)
        harvest.interfaceEntries.insert("key=\"" + fuzznames::xmlEscaped(property.utf8()) + "\"");
}

// A registered name as an archive holds it (a string) and as an interface file does (an element's text).
void harvestRegisteredNames(Harvest& harvest)
{
    for (const auto& name : fuzznames::registeredNames()) {
        harvest.archiveEntries.insert("<string>" + fuzznames::xmlEscaped(name) + "</string>");
        harvest.interfaceEntries.insert(">" + fuzznames::xmlEscaped(name) + "<");
    }
}

void addEdgeNumbers(Harvest& harvest)
{
    for (std::string_view edge : edgenumbers::Integers) {
        const std::string integer(edge);
        harvest.archiveEntries.insert("<integer>" + integer + "</integer>");
        harvest.interfaceEntries.insert("<integer key=\"\">" + integer + "</integer>");
        harvest.interfaceEntries.insert("\"" + integer + "\"");
        harvest.interfaceEntries.insert(">" + integer + "<");
    }
    for (double real : edgenumbers::Reals) {
        // The archive's own spelling ("nan", "+infinity"); interface files read what std::from_chars reads.
        harvest.archiveEntries.insert("<real>" + fnd::PropertyList::detail::formatReal(real) + "</real>");
        const std::string spelling = edgenumbers::shortestSpelling(real);
        harvest.interfaceEntries.insert("<real key=\"\">" + spelling + "</real>");
        harvest.interfaceEntries.insert("\"" + spelling + "\"");
        harvest.interfaceEntries.insert(">" + spelling + "<");
    }
}

}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: make-fuzz-seeds FUZZ_DIR\n";
        return 2;
    }
    const std::filesystem::path fuzzDir = argv[1];
    const auto corpus = fuzzDir / "corpus" / "class_archives";
    const auto dictionaries = fuzzDir / "dictionaries";
    std::filesystem::create_directories(corpus);
    std::filesystem::create_directories(dictionaries);

    auto backend = ui::HeadlessBackend::install();
    backend->setDrawsWindows(false);

    Harvest harvest;
    for (const auto* cls : fnd::ClassRegistry::shared().classesDerivedFrom(fnd::Object::staticClassInfo())) {
        seedClass(*cls, corpus, harvest);
        harvestInterfaceNames(*cls, harvest);
    }
    harvestRegisteredNames(harvest);
    addEdgeNumbers(harvest);

    bool written = writeDictionary(dictionaries / "class_archives.dict",
                       "# Keys and class names of archives of every keyed-coding class, registered names, and edge "
                       "numbers.\n"
                       "# Written by make-fuzz-seeds (docs/build-and-tests.md, Fuzzing); do not edit.\n",
                       harvest.archiveEntries)
        && writeDictionary(dictionaries / "interface_file.dict",
            "# Class and property names of every registered class, registered names, and edge numbers.\n"
            "# Written by make-fuzz-seeds (docs/build-and-tests.md, Fuzzing); do not edit.\n",
            harvest.interfaceEntries);
    if (!written) {
        std::cerr << "make-fuzz-seeds: cannot write the dictionaries into " << dictionaries << "\n";
        return 1;
    }
    for (const auto& failure : harvest.failures)
        std::cerr << failure << "\n";
    return harvest.failures.empty() ? 0 : 1;
}
