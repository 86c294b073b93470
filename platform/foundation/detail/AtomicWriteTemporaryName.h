#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fnd::detail {

// The names FileManager::writeAtomically gives its temporary files, and how a file so named is known as one it made.
//
// A temporary file is made as "." + the target's name + ".partial-" + the six letters and digits mkostemp chooses,
// and, once its writer holds the lock, renamed to that name + "-" + a tag: sixteen hex digits of a hash of the
// writer's own key, that name and the file's identity (inode number and time of birth). A name alone is no proof (a
// person may call a file anything, and a copy may take a leftover's place, even its freed inode number); the tag
// binds the name to the very file the writer made, so a file of anyone else's never matches, whatever it is called.

// What tells one file from every other on its file system, for as long as it lives and after: its inode number and
// its time of birth (zero where the file system keeps none; then the inode number alone).
struct FileIdentity {
    std::uint64_t inode { 0 };
    std::int64_t bornSeconds { 0 };
    std::uint32_t bornNanoseconds { 0 };
};
// The identity of an open file; nullopt when it cannot be read.
std::optional<FileIdentity> fileIdentity(int fd);

// The pattern for mkostemp in a folder whose names may have nameMax bytes: the target's name is cut (between
// characters) so that the tagged name still fits.
std::string atomicWriteCreationName(std::string_view targetName, long nameMax);
// The name the file made under madeName is renamed to once it is locked.
std::string atomicWriteTaggedName(std::string_view madeName, const FileIdentity& file);
// Whether the name has the form of a tagged temporary file's (the name alone: a cheap first test).
bool hasAtomicWriteTemporaryForm(std::string_view name);
// Whether the file of that name and identity is a temporary file writeAtomically made (and tagged).
bool isAtomicWriteTemporaryFile(std::string_view name, const FileIdentity& file);

}
