#pragma once

#include <QString>

// The folders the application reads and writes, from the XDG locations.
namespace AppPaths {

// The user's data folder (XDG_DATA_HOME), where the app folder lives.
QString applicationSupportFolder();
// "Nimbrel" inside it: the library index, recordings and models.
QString appFolder();
// The app folder's name in earlier versions, taken over on first start.
QString legacyAppFolder();
QString downloadsFolder();
QString cachesFolder();
// A folder only this user can read, made once per process and removed at exit;
// temporary files handed to outside tools live here.
QString privateTempFolder();

} // namespace AppPaths
