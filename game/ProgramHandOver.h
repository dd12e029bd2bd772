#pragma once
// One program per program folder: the folder's lock (ProgramFolderLock.h) is the guard, a local
// socket the messenger. A second start on the same folder hands its package file, or only its
// wish to be seen, to the program that holds the lock and ends; so does a double-click on a
// package while the game runs. The socket is named after the folder (its device and inode, so
// that every path to it meets) in the player's own runtime folder, or in a folder of the
// player's alone in the temporary folder; only the lock's holder creates it, replacing one that
// a killed program left. Both ends make sure the other runs as the same user.

#include "platform/LocalSocket.h"

#include <QObject>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

class WindowSet;

// The socket's name (a path) for the program folder; the private folder it lies in is made when
// missing. Empty when no folder of the player's alone can be had.
QString handOverName(const std::filesystem::path& programFolder);

// Hands `package` (an absolute path; empty when there is none) to the program that holds the
// folder's lock. A program that has just taken the lock may not listen yet: it is asked again
// until `patience` is over. A request sent is never sent again. True once it was sent whole:
// the holder takes it as soon as its window thread turns.
bool handOverToRunningProgram(const std::filesystem::path& programFolder, const std::string& package,
                              std::chrono::milliseconds patience);

// The lock holder's end. Each request raises the window the player sees and puts its package
// into the main window's inbox.
class HandOverServer : public QObject {
public:
    explicit HandOverServer(const std::filesystem::path& programFolder);
    ~HandOverServer() override;

    // From now on requests reach `windows`; those taken before go there now.
    void serve(WindowSet& windows);
    // A request has come in whole.
    void take(const std::string& package);

private:
    void deliver();

    std::string name_;
    FileDescriptor listener_;
    WindowSet* windows_ = nullptr;
    std::vector<std::string> waiting_; // requests taken before the windows were there
};

// The window the player sees (a box, a side window, the menu or the game) comes to the front.
void bringToFront(WindowSet& windows);
