; Every text of the installer, its uninstaller and the Start-menu program in Japanese, in one
; place, exactly as the user sees them.
;
; Included after the language is loaded (MUI_LANGUAGE or LoadLanguageFile), with TITLE and
; VERSION defined. A second language is a file like this one, its LangStrings under its own LANG_
; constant, loaded beside this.

; Fixed when the programs are built, so one for every language: the version information (1041),
; and the Start-menu entry's name, which the uninstaller must find as the installer made it.
!define SETUP_DESCRIPTION "${TITLE} セットアップ"
!define MAKE_CURRENT_NAME "${TITLE}をスクリーン セーバーにする"

; Why a folder cannot hold a screen saver, in the installer's message and the Start-menu
; program's.
!define WHY_NOT_STARTABLE "Windows がスクリーン セーバーを起動できるのは、空白も半角英数字以外の文字もないパスか、そのような短い名前 (8.3 形式) を持つパスからだけです。"

; The installer's pages
LangString WELCOME_TEXT ${LANG_JAPANESE} "${TITLE} ${VERSION} をインストールします。スクリーン セーバーが表示する 50 枚の画像も一緒にインストールされます。$\r$\n$\r$\nお使いのユーザー アカウントにだけインストールするので、管理者の権限は要りません。$\r$\n$\r$\n「次へ」をクリックして続行してください。"
LangString SAVER_SECTION ${LANG_JAPANESE} "${TITLE}（本体と画像 50 枚）"
LangString CURRENT_SECTION ${LANG_JAPANESE} "現在のスクリーン セーバーにする"
LangString FOLDER_UNUSABLE ${LANG_JAPANESE} "このフォルダーはスクリーン セーバーには使えません。$\r$\n$\r$\n${WHY_NOT_STARTABLE}別のフォルダーを選んでください。"

; The Start-menu program's messages
LangString SAVER_MISSING ${LANG_JAPANESE} "${TITLE}が見つかりません。もう一度インストールしてください。"
LangString CANNOT_MAKE_CURRENT ${LANG_JAPANESE} "${TITLE}をスクリーン セーバーにできません。フォルダー $INSTDIR のパスは使えないためです。$\r$\n$\r$\n${WHY_NOT_STARTABLE}$\r$\n$\r$\nスクリーン セーバーは変更していません。そのようなフォルダーにもう一度インストールしてください。"
