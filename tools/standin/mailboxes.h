// The client's mailboxes: folders under its data folder, each with its own Mailbox.ini.
#pragma once
#include <string>
#include <vector>

class Mailboxes {
  public:
    // The data folder is kept with one trailing backslash, as the client reports it.
    explicit Mailboxes(const std::string& dataFolder);

    bool CreateDataFolder();
    // text is the mailbox as the client names it ("box1" or "box1\"); its folder and
    // Mailbox.ini are created when missing. An empty account leaves an existing name alone.
    bool Add(const std::string& text, const std::string& account);
    void SetCurrent(const std::string& text);

    const char* Current() const { return current.c_str(); }
    const char* DataFolder() const { return dataFolder.c_str(); }
    std::string FolderOf(const std::string& text) const;

  private:
    std::string dataFolder;
    std::string current;
};
