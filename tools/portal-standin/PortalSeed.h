#pragma once

#include <string>

class PortalDatabase;

// Gives the portal what a portal in use holds: the clients and rolls that an
// earlier export sent, payments that families made online in the last weeks
// (some still to import, one abandoned), and clients who chose the digital
// invoice. Seeding again replaces what the portal's families did before.
void SeedFromKorva8(PortalDatabase& portal, const std::string& korva8Path);

// The same from a sample KORVA 8 base of its own, made beside the portal's database.
void SeedOnItsOwn(PortalDatabase& portal, const std::string& portalPath);
