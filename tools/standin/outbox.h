// The folder where the stand-in client "sends" mail: one .eml file per message sent.
#pragma once
#include <string>
#include <vector>

#include "tools/standin/header_store.h"

class Outbox {
  public:
    explicit Outbox(const std::string& folder);

    bool Create();
    // Writes headers and body as a new file with a fresh numbered name; "" on failure.
    std::string Write(const HeaderStore& headers, const std::string& body);
    // The .eml files of the folder, sorted by name.
    std::vector<std::string> FileNames() const;
    // The header part of one file of the folder.
    HeaderStore ReadHeaders(const std::string& fileName) const;
    const std::string& Folder() const { return folder; }

  private:
    std::string folder;
    int next;
};
