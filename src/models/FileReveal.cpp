#include "models/FileReveal.h"

namespace FileReveal {

namespace {

Handler& itemHandler()
{
    static Handler handler;
    return handler;
}

Handler& folderHandler()
{
    static Handler handler;
    return handler;
}

} // namespace

void install(Handler showItem, Handler showFolder)
{
    itemHandler() = std::move(showItem);
    folderHandler() = std::move(showFolder);
}

void showItem(const QString& path)
{
    if (itemHandler())
        itemHandler()(path);
}

void showFolder(const QString& path)
{
    if (folderHandler())
        folderHandler()(path);
}

} // namespace FileReveal
