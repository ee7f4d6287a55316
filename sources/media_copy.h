// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace talvio {

// The folders below ExportFolder that an exported page refers to.
enum class MediaFolder { Images, Voice, Video, Documents };

const char* mediaFolderName(MediaFolder folder);

// One media file that a render asked to copy into the export.
struct MediaCopy {
    MediaFolder folder = MediaFolder::Images;
    std::string source;         // the media path, as the renderer computed it
    std::string phonePath;      // its path in the phone's folder when source lies elsewhere
    std::string id;             // what the page refers to: images/<id>.jpg, voice/<id>.wav, video/<id>.mp4
    std::string target;         // the copy, below ExportFolder (mediaTarget)
    bool copied = false;        // target holds the file
    bool alreadyThere = false;  // it did before this run, with the same bytes: nothing was written
    std::string error;          // why the copy was not made; empty when it was
};

// Where the copy of a file named fileName with the given id goes, below ExportFolder:
// "images/<id>.jpg", "video/<id>.mp4", "voice/<id>.opus", "documents/<id>.pdf". Documents and voice
// notes keep their own extension when it is a plain one.
std::string mediaTarget(MediaFolder folder, const std::string& id, std::string_view fileName);

// A stem that is safe wherever a page puts it: in a relative address, an attribute, a script
// string and a file name. Only ASCII letters, digits, '-', '_' and inner '.' survive; anything
// else becomes '_', so "..", "/", "\", quotes and control characters cannot reach a path or a
// page. Never empty, at most 80 bytes.
std::string safeMediaStem(std::string_view fileName);

// What the renderers of one export copied, in the order of the copies. The export reads it to
// convert voice notes and to report the media it wrote or could not write.
class MediaCopyLog {
public:
    // Copies go below exportFolder (without a trailing '/'); resourceFolder is the phone's media
    // folder, whose part of a file's path names it the same in every export.
    MediaCopyLog(std::string exportFolder, std::string resourceFolder)
        : m_exportFolder(std::move(exportFolder)), m_resourceFolder(std::move(resourceFolder)) {}

    // Copies the file at source (named fileName in the phone's folder) into ExportFolder's folder
    // for the kind and returns the id the page must carry. Every source gets one id per log, so a
    // file that several messages share is copied once. The id is the file's stem unless another
    // file holds that name, in this run or in the folder from an earlier export; then the stem is
    // tagged with a hash of the file's path in the phone's folder. So two different files never
    // overwrite each other's copy, whatever order chats are exported in, and the same file keeps
    // its name when an export is updated; a copy already there with the same bytes is kept as it
    // is (ids differ in more than letter case, for exports onto case-blind file systems). A failed
    // copy is logged and still returns its id.
    // phonePath, when given, names the file's place in the phone's folder for the tag: a file taken
    // out of a backup lies elsewhere but keeps the name its folder would give it.
    std::string copy(MediaFolder folder, const std::string& source, std::string_view fileName,
                     std::string_view phonePath = {});

    // Records a file that was refused before any copy was tried (it would be read from outside
    // the resource folder).
    void refuse(MediaFolder folder, const std::string& source, std::string reason);

    const std::vector<MediaCopy>& copies() const { return m_copies; }

private:
    // Picks the entry's id and target; sets alreadyThere when the target holds the source's bytes.
    void chooseName(MediaCopy& entry, std::string_view fileName);

    std::string m_exportFolder;
    std::string m_resourceFolder;
    std::vector<MediaCopy> m_copies;
    // (folder, source) -> index in m_copies
    std::unordered_map<std::string, std::size_t> m_bySource;
    // (folder, lower-case id) of every id handed out
    std::unordered_map<std::string, bool> m_takenIds;
};

}  // namespace talvio
