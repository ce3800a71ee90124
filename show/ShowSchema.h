#pragma once

#include <QString>

class ShowDatabase;

// The tables of a show file and what tells one from any other SQLite file.
//
//   PRAGMA application_id = ShowSchema::ApplicationId, PRAGMA user_version = the format
//   meta(key TEXT PRIMARY KEY, value)       led_count, line_number, sampling (0 sharp,
//                                           1 smooth), language (languageCode), saved_at
//   blob(id, hash UNIQUE, size, data)       every stored piece once, by its SHA-256
//   clip(id, position, number, loop_count, is_gif, origin..., ..., transition, description)
//                                           description: a text clip's settings as JSON
//                                           (format 2 on; '' for clips cut from files)
//   item(id, clip NULL for a picture, position, kind, number, display_time, frame_time,
//        contrast, sampling, square..., source_suffix,
//        source, thumbnail, led, preview -> blob.id, transition)
//
// transition (format 2) is the transition after a picture or a clip as its description's
// JSON, NULL for none; its frames are not kept, they are made again after loading.
//
// An item's led and preview were made for the meta geometry and the item's own sampling.
class ShowSchema
{
public:
    // "HDSH"
    static constexpr int ApplicationId = 0x48445348;
    // The format this program writes; it reads this and every older one.
    // 2: transitions, and clip.description, the settings of a text clip.
    static constexpr int Version = 2;

    // Creates the tables in an empty database. False with the reason in *error.
    static bool create(ShowDatabase &db, QString *error);
    // Brings a show of an older version up to Version inside the caller's transaction
    // (1 to 2: adds the transition columns and clip.description, empty for every clip).
    static bool upgrade(ShowDatabase &db, int fromVersion, QString *error);

    // What is wrong with the file's first bytes for a show file: not SQLite at all, or an
    // SQLite file shorter than its header says. Empty when they look right.
    static QString headerProblem(const QString &path);
};
