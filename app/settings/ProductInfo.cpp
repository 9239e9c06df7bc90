// The built-in product table and the getters over the selected row.
#include "app/settings/ProductInfo.h"

#include <array>

#include "app/settings/OptionKeys.h"

namespace pelmora {

const char* const kCompanyHomePage = "https://www.halvorn.example/";

namespace {

struct ProductRow {
  int32_t id;
  const char* version;
  const char* productName;
  const char* productKeyName;
  const char* productNumber;
  const char* productPage;
  const char* supportPage;
  const char* discussionPage;
};

constexpr const char* kCompanyName = "Halvorn";

// Every product of the maker that shares this identity scheme; this program is 21004.
constexpr std::array<ProductRow, 4> kProducts{{
    {21001, "6.1", "Dorvane", "HVNDORVANE61", "228",
     "https://www.halvorn.example/dorvane/download/",
     "https://www.halvorn.example/dorvane/support/", "https://forum.halvorn.example/dorvane/"},
    {21003, "3.0", "Quillane", "HVNQUILLANE30", "3", "https://www.halvorn.example/quillane/",
     "https://www.halvorn.example/quillane/support/", "https://forum.halvorn.example/quillane/"},
    {21004, "3.2", "Pelmora", "HVNPELMORA3", "95", "https://www.halvorn.example/pelmora/",
     "https://www.halvorn.example/support/", "https://forum.halvorn.example/pelmora/"},
    {21052, "5.1", "Ostrivel", "HVNOSTRIVEL51", "226", "https://www.halvorn.example/ostrivel/",
     "https://www.halvorn.example/ostrivel/support/", "https://forum.halvorn.example/ostrivel/"},
}};

ProductInfo gProductInfo;

std::string WebPage(const OptionStore& store, const char* key, const std::string& page) {
  if (gProductInfo.id >= 1) return store.ReadOptionText(key, page);
  std::string stored = store.ReadOptionText(key, "");
  return stored.empty() ? std::string(kCompanyHomePage) : stored;
}

}  // namespace

int32_t SelectProduct(int32_t productId) {
  gProductInfo = ProductInfo{};
  for (const ProductRow& row : kProducts) {
    if (row.id != productId) continue;
    gProductInfo =
        ProductInfo{row.id,          row.version,       row.productName,  row.productKeyName,
                    kCompanyName,    row.productNumber, kCompanyHomePage, row.productPage,
                    row.supportPage, row.discussionPage};
    return productId;
  }
  gProductInfo.id = -1;
  return -1;
}

const ProductInfo& GetProductInfo() {
  return gProductInfo;
}

std::string GetProductName() {
  return gProductInfo.id >= 1 ? gProductInfo.productName : "";
}

std::string GetCompanyWebSite() {
  return gProductInfo.id >= 1 ? gProductInfo.companyWebSite : "";
}

std::string GetLatestVersionPage(const OptionStore& store) {
  return WebPage(store, OptionNamed("latest_version").name, gProductInfo.productPage);
}

std::string GetOnlineSupportPage(const OptionStore& store) {
  return WebPage(store, OptionNamed("online_support").name, gProductInfo.supportPage);
}

std::string GetOnlineDiscussionPage(const OptionStore& store) {
  return WebPage(store, OptionNamed("online_discussion").name, gProductInfo.discussionPage);
}

}  // namespace pelmora
