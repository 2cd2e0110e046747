#pragma once

#include <QString>

// Shows a file selected, or a folder, in the user's file manager through the
// org.freedesktop.FileManager1 service on the session bus; when no file
// manager answers, opens the file's folder instead. Returns at once.
namespace FileManagerReveal {

void showItem(const QString& path);
// Opens a folder in the file manager with nothing selected; xdg-open on the
// folder when no file manager answers.
void showFolder(const QString& path);

} // namespace FileManagerReveal
