// The product identity record: which product this build is, the name of its settings key, its
// version and its maker's web addresses. Process-wide, filled once by SelectProduct. Portable.
#pragma once

#include <cstdint>
#include <string>

#include "app/settings/OptionStore.h"

namespace pelmora {

constexpr int32_t kPelmoraProductId = 21004;

struct ProductInfo {
  int32_t id = 0;  // -1 after an id not in the product table was selected
  std::string version;
  std::string productName;  // also the name of the settings key
  std::string productKeyName;
  std::string companyName;
  std::string productNumber;
  std::string companyWebSite;
  std::string productPage;  // returned as the latest-version page
  std::string supportPage;
  std::string discussionPage;
};

// The maker's home page: the company web-site field of every row, and the web-page getters'
// last resort when no product is selected.
extern const char* const kCompanyHomePage;

// Fills the record from the product table row with this id and returns the id; for an id not in
// the table sets id -1, empties every text field and returns -1.
int32_t SelectProduct(int32_t productId);

const ProductInfo& GetProductInfo();

// The product name when a product is selected (id >= 1), else empty text.
std::string GetProductName();
// The company web-site address when a product is selected, else empty text.
std::string GetCompanyWebSite();

// The web-page getters: a value stored under "latest_version", "online_support" or
// "online_discussion" replaces the built-in page. With no product selected they return the stored
// value or, when there is none, kCompanyHomePage. The store must be over GetProductName().
std::string GetLatestVersionPage(const OptionStore& store);
std::string GetOnlineSupportPage(const OptionStore& store);
std::string GetOnlineDiscussionPage(const OptionStore& store);

}  // namespace pelmora
