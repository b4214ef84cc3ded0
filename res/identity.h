/* The product's identity, in one place: the resource script builds the version information and
   the saver's name from it, and the program reads them back from its own resources at run
   time. Plain #defines for windres. UTF-8. */
#pragma once

#define APP_TITLE "スライドショー"
#define APP_COMPANY_NAME "スライドショー制作室"
#define APP_LEGAL_COPYRIGHT "Copyright (C) 2026 スライドショー制作室"
/* What it is, in a sentence, and the name package managers know it by (winget: maker.product,
   ASCII): for the release's package manifest, not the program. */
#define APP_DESCRIPTION "50 枚の画像を全画面で次々に映し出すスクリーン セーバー"
#define APP_PACKAGE_ID "QMAR52.Slideshow"

#define APP_VERSION_MAJOR 1
#define APP_VERSION_MINOR 0
#define APP_VERSION_REVISION 0
#define APP_VERSION_TEXT "1.0.0"

/* String 1 of the string table: the name the system lists the saver under. */
#define IDS_SAVER_NAME 1
