// What page capture grows besides the site store: the site map, the page list and the
// mail list. The view models implement these; the crawl knows only these calls.
#pragma once

#include <string_view>

#include "crawl/link_queue.h"

namespace ferrowyn {

// Image numbers of the site map's image list (the view draws them): a start page, and
// every other page or link.
inline constexpr int kPageImage = 0;
inline constexpr int kStartPageImage = 1;

// The site map's nodes as the crawl adds them. Owned by the crawl controller; GUI thread
// only. Throws only std::bad_alloc.
class SiteMapTarget {
 public:
  // A new last top-level node.
  virtual SiteMapNode AddTopLevelNode(std::string_view text, int image) = 0;
  // A new last child of `parent`; kNoNode (nothing added) when `parent` names no node.
  virtual SiteMapNode AddChildNode(SiteMapNode parent, std::string_view text, int image) = 0;
  // Number of ancestors: 0 at the top, and for a handle that names no node.
  virtual int Depth(SiteMapNode node) const = 0;

 protected:
  ~SiteMapTarget() = default;
};

// The page list's rows. Owned by the crawl controller; GUI thread only. Throws only
// std::bad_alloc.
class PageListTarget {
 public:
  // Appends a row unless one has `url` as its caption without regard to case; true when
  // the row was added.
  virtual bool AddRow(std::string_view url, std::string_view title) = 0;

 protected:
  ~PageListTarget() = default;
};

// The mail addresses collected. Owned by the crawl controller; GUI thread only. Throws
// only std::bad_alloc.
class MailListTarget {
 public:
  // Appends `address` as given unless the list holds it without regard to case; true
  // when it was added.
  virtual bool AddAddress(std::string_view address) = 0;

 protected:
  ~MailListTarget() = default;
};

}  // namespace ferrowyn
