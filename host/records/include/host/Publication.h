// Publication: where a structure was published: authors, journal, volume, year, first page.
#pragma once

#include <string>
#include <vector>

#include "host/HostApi.h"
#include "host/Journal.h"

class HOST_API Publication {
  public:
    Publication(std::vector<std::string> authors, Journal journal, std::string volume, int year,
                std::string first_page)
        : authors_(std::move(authors)),
          journal_(std::move(journal)),
          volume_(std::move(volume)),
          year_(year),
          first_page_(std::move(first_page)) {}

    const std::vector<std::string>& authors() const { return authors_; }
    const Journal& journal() const { return journal_; }
    const std::string& volume() const { return volume_; }
    int year() const { return year_; }
    const std::string& first_page() const { return first_page_; }

  private:
    std::vector<std::string> authors_;
    Journal journal_;
    std::string volume_;
    int year_;
    std::string first_page_;
};
