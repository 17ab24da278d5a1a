// The bids a many-bids run takes from what the user named: files as they
// are, folders by their ".bidx" files.
#ifndef BREVALT_SUMMARY_BID_LIST_H
#define BREVALT_SUMMARY_BID_LIST_H

#include <string>
#include <vector>

namespace brevalt {

// The bid files of names, in order: a folder gives its regular files whose
// name ends in ".bidx" (any case), sorted by name, without its subfolders'; a
// file is taken as it is, whatever its name (its name is judged by the run);
// a name that is neither is left out. Paths are made absolute; a bid named
// twice, also through a folder or another spelling of its path, is kept at
// its first place only, and so is one already in known.
std::vector<std::string> ListBidFiles(const std::vector<std::string>& names,
                                      const std::vector<std::string>& known = {});

}  // namespace brevalt

#endif  // BREVALT_SUMMARY_BID_LIST_H
