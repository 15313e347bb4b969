// Subclass ids for the control wrappers: lowest free id first, from where the last search
// stopped.
#pragma once
#include <windows.h>

class SSubclassIdPool {
  public:
    SSubclassIdPool();
    // -1 when all 65,536 ids are in use.
    int Allocate();
    // Ids outside the pool are ignored.
    void Release(int id);

  private:
    static const int kWordCount = 4096;
    int TakeFirstFree(int fromWord, int toWord);

    WORD words[kWordCount];
    int searchWord;
};

// The one pool of the process.
int AllocateSubclassId();
void ReleaseSubclassId(int id);
