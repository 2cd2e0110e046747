#pragma once

#include <QString>

#include <functional>

// Shows the user a file or a folder on the desktop. The app installs the
// desktop's way at start; until then (headless, in tests) nothing is shown.
// Install and call from the main thread.
namespace FileReveal {

using Handler = std::function<void(const QString& path)>;

void install(Handler showItem, Handler showFolder);

// A file, selected in its folder.
void showItem(const QString& path);
// A folder, with nothing selected.
void showFolder(const QString& path);

} // namespace FileReveal
