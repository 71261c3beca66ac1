// SPDX-License-Identifier: MIT
#include "strings/StringEdits.h"

#include "tables/StrTblText.h"

#include <map>
#include <vector>

namespace tolmere {
namespace {

const char* kPatch = "patchstring.tbl";

std::string Quoted(const std::string& key) {
    return "\u201c" + EscapeOnOneLine(key) + "\u201d";
}

// The table below patchstring.tbl that has `key`, as the game would reach it.
const StrEntry* LowerEntry(const CStringTables& tables, const std::string& key,
                           StringSource* source) {
    for (StringSource lower : {StringSource::kExpansion, StringSource::kBase}) {
        if (const StrEntry* entry = tables.Table(lower).Find(key)) {
            if (source)
                *source = lower;
            return entry;
        }
    }
    return nullptr;
}

StringEditResult Refused(std::string why) {
    StringEditResult result;
    result.message = std::move(why);
    return result;
}

bool Writable(const CStringTables& tables, StringEditResult& refusal) {
    if (tables.PatchWritable())
        return true;
    refusal = Refused(std::string(kPatch) + " did not load, so its texts cannot be changed:\n" +
                      tables.PatchProblem());
    return false;
}

// Whether patchstring.tbl can take this entry; `refusal` says why not.
bool CanWrite(const CStringTables& tables, const std::string& key, const std::string& text,
              StringEditResult& refusal) {
    if (!Writable(tables, refusal))
        return false;
    if (std::string why = CheckStringEntry(key, text); !why.empty()) {
        refusal = Refused(why);
        return false;
    }
    return true;
}

EntryState StateOf(const CStrTbl& table, const StrEntry& entry) {
    return EntryState{entry.text, entry.indexNumber, table.PositionOf(&entry)};
}

// Removes one entry, noting it in the step so that undo puts it back where it stood.
void RemoveNoted(CStrTbl& table, StrEntry& entry, EditStep& step) {
    step.entries.push_back({&table, entry.key, StateOf(table, entry), std::nullopt});
    table.Remove(&entry);
}

} // namespace

std::string CheckStringEntry(const std::string& key, const std::string& text) {
    if (key.empty())
        return "A key cannot be empty";
    if (key.find('\0') != std::string::npos || text.find('\0') != std::string::npos)
        return "A key or text cannot hold a zero byte";
    if (key.size() + 1 > CStrTbl::kMaxKeySpan)
        return "The key is longer than the game reads (" +
               std::to_string(CStrTbl::kMaxKeySpan - 1) + " bytes)";
    if (text.size() > CStrTbl::kMaxTextLength)
        return "The text is longer than a string table holds (" +
               std::to_string(CStrTbl::kMaxTextLength) + " bytes)";
    return std::string();
}

StringEditResult SetString(CStringTables& tables, const std::string& key, const std::string& text) {
    StringEditResult result;
    if (!CanWrite(tables, key, text, result))
        return result;
    CStrTbl& patch = tables.Patch();
    StringSource lowerSource{};
    const StrEntry* lower = LowerEntry(tables, key, &lowerSource);
    StrEntry* own = patch.Find(key);
    if (!own && !lower)
        return Refused("No string table has " + Quoted(key) + "; Add adds it");
    const std::string& shown = own ? own->text : lower->text;
    if (shown == text) {
        result.done = true;
        result.message = Quoted(key) + " already reads so";
        return result;
    }
    const CEntryRecorder recorder(patch, {key});
    if (own) {
        patch.SetText(*own, text);
    } else {
        patch.Add(key, text);
        result.message = Quoted(key) + " added to " + kPatch + " over " +
                         CStringTables::FileName(lowerSource) + "'s text";
    }
    result.step.name = "Change text of " + key;
    recorder.Finish(result.step);
    result.done = true;
    return result;
}

StringEditResult AddString(CStringTables& tables, const std::string& key, const std::string& text) {
    StringEditResult result;
    if (!CanWrite(tables, key, text, result))
        return result;
    CStrTbl& patch = tables.Patch();
    if (patch.Find(key))
        return Refused(std::string(kPatch) + " has " + Quoted(key) + " already");
    StringSource lowerSource{};
    if (LowerEntry(tables, key, &lowerSource))
        result.message = CStringTables::FileName(lowerSource) + std::string(" has ") + Quoted(key) +
                         " too; the game now shows " + kPatch + "'s text";
    const CEntryRecorder recorder(patch, {key});
    patch.Add(key, text);
    result.step.name = "Add " + key;
    recorder.Finish(result.step);
    result.done = true;
    return result;
}

StringEditResult DeleteString(CStringTables& tables, const std::string& key) {
    StringEditResult result;
    if (!Writable(tables, result))
        return result;
    CStrTbl& patch = tables.Patch();
    if (!patch.Find(key)) {
        StringSource lowerSource{};
        if (LowerEntry(tables, key, &lowerSource))
            return Refused(Quoted(key) + " comes from " + CStringTables::FileName(lowerSource) +
                           ", which is the game's own and is not changed");
        return Refused(std::string(kPatch) + " has no " + Quoted(key));
    }
    // Every entry of the key goes: with one left, its text would show instead.
    while (StrEntry* entry = patch.Find(key))
        RemoveNoted(patch, *entry, result.step);
    StringSource lowerSource{};
    result.message = LowerEntry(tables, key, &lowerSource)
                         ? CStringTables::FileName(lowerSource) + std::string("'s text of ") +
                               Quoted(key) + " shows again"
                         : "No string table has " + Quoted(key) + " now";
    result.step.name = "Delete " + key;
    result.done = true;
    return result;
}

StringEditResult RevertString(CStringTables& tables, const std::string& key) {
    if (!tables.Patch().Find(key))
        return Refused(Quoted(key) + " is the game's own text already");
    if (!LowerEntry(tables, key, nullptr))
        return Refused("Only " + std::string(kPatch) + " has " + Quoted(key) +
                       ": there is no text to go back to; Delete removes it");
    StringEditResult result = DeleteString(tables, key);
    result.step.name = "Revert " + key;
    return result;
}

std::string ExportPatchText(const CStrTbl& patch) {
    return StrTblToText(patch);
}

StringEditResult ImportPatchText(CStringTables& tables, const std::string& text) {
    StringEditResult result;
    if (!Writable(tables, result))
        return result;
    CStrTbl read;
    std::string error;
    if (!StrTblFromText(text, read, error))
        return Refused(error);
    for (const StrEntry& entry : read.List()) {
        if (std::string why = CheckStringEntry(entry.key, entry.text); !why.empty())
            return Refused(Quoted(entry.key) + ": " + why);
    }
    if (read.List().empty())
        return Refused("The text has no entries; a string table needs one at least");

    // The k-th entry of a key in the text is the k-th of that key in the table.
    CStrTbl& patch = tables.Patch();
    std::map<std::string, std::vector<StrEntry*>> own;
    // The table is this function's to change; its list is handed out read-only.
    for (StrEntry& entry : const_cast<CStrTbl::Entries&>(patch.List()))
        own[entry.key].push_back(&entry);
    std::map<std::string, std::size_t> taken;
    std::vector<const StrEntry*> added;
    for (const StrEntry& wanted : read.List()) {
        std::vector<StrEntry*>& mine = own[wanted.key];
        std::size_t& next = taken[wanted.key];
        if (next >= mine.size()) {
            added.push_back(&wanted);
            continue;
        }
        StrEntry& entry = *mine[next++];
        if (entry.text == wanted.text)
            continue;
        const EntryState before = StateOf(patch, entry);
        patch.SetText(entry, wanted.text);
        result.step.entries.push_back({&patch, entry.key, before, StateOf(patch, entry)});
    }
    for (auto& [key, mine] : own) {
        for (std::size_t i = taken[key]; i < mine.size(); ++i)
            RemoveNoted(patch, *mine[i], result.step);
    }
    for (const StrEntry* wanted : added) {
        StrEntry& entry = patch.Add(wanted->key, wanted->text);
        result.step.entries.push_back({&patch, entry.key, std::nullopt, StateOf(patch, entry)});
    }
    result.step.name = "Import texts";
    result.done = true;
    result.message = result.step.Empty() ? std::string(kPatch) + " holds these texts already"
                                         : std::to_string(result.step.entries.size()) +
                                               " entries of " + kPatch + " changed";
    return result;
}

} // namespace tolmere
