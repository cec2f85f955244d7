<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>AccentColorPopup</name>
    <message>
        <source>Pick any color</source>
        <translation>好きな色を選んでください</translation>
    </message>
    <message>
        <source>Accent Color</source>
        <translation>アクセントカラー</translation>
    </message>
</context>
<context>
    <name>AccentTheme</name>
    <message>
        <source>Black</source>
        <translation>ブラック</translation>
    </message>
    <message>
        <source>Cream</source>
        <translation>クリーム</translation>
    </message>
    <message>
        <source>Orange</source>
        <translation>オレンジ</translation>
    </message>
    <message>
        <source>Simple</source>
        <translation>シンプル</translation>
    </message>
</context>
<context>
    <name>AddSoundCard</name>
    <message>
        <source>Add Sound</source>
        <translation>サウンドを追加</translation>
    </message>
</context>
<context>
    <name>Appearance</name>
    <message>
        <source>Dark</source>
        <translation>ダーク</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>ライト</translation>
    </message>
    <message>
        <source>System</source>
        <translation>システム</translation>
    </message>
</context>
<context>
    <name>ChainBuilderView</name>
    <message>
        <source>Add step</source>
        <translation>ステップを追加</translation>
    </message>
    <message>
        <source>Add tasks in order and they&apos;ll count down automatically, one after another.</source>
        <translation>タスクを順番に追加すると、ひとつずつ自動でカウントダウンします。</translation>
    </message>
    <message>
        <source>Chain</source>
        <translation>チェーン</translation>
    </message>
    <message>
        <source>Chain name (optional)</source>
        <translation>チェーン名（任意）</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>開始</translation>
    </message>
</context>
<context>
    <name>ChainRunningBanner</name>
    <message>
        <source>%1/%2</source>
        <translation>%1/%2</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>ChainStepRow</name>
    <message>
        <source>%1 min</source>
        <translation>%1分</translation>
    </message>
    <message>
        <source>Delete this step</source>
        <translation>このステップを削除</translation>
    </message>
    <message>
        <source>Task</source>
        <translation>タスク</translation>
    </message>
    <message>
        <source>min</source>
        <translation>分</translation>
    </message>
</context>
<context>
    <name>CurrentSequenceCard</name>
    <message>
        <source>Active</source>
        <translation>使用中</translation>
    </message>
    <message>
        <source>Current Sequence</source>
        <translation>現在のシーケンス</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>編集</translation>
    </message>
    <message>
        <source>Use</source>
        <translation>使う</translation>
    </message>
</context>
<context>
    <name>CustomAccentChip</name>
    <message>
        <source>Choose a custom accent color</source>
        <translation>好きなアクセントカラーを選ぶ</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>カスタム</translation>
    </message>
</context>
<context>
    <name>DisplayDensity</name>
    <message>
        <source>Compact</source>
        <translation>コンパクト</translation>
    </message>
    <message>
        <source>Roomy</source>
        <translation>ゆったり</translation>
    </message>
</context>
<context>
    <name>EmptyTabPage</name>
    <message>
        <source>This section is not available yet.</source>
        <translation>この画面はまだ使えません。</translation>
    </message>
</context>
<context>
    <name>GlobalHotkeys</name>
    <message>
        <source>%1 is already used by another program.</source>
        <translation>%1 は他のプログラムで使われています。</translation>
    </message>
    <message>
        <source>%1 cannot be used: this keyboard has no such key.</source>
        <translation>%1 は使えません。このキーボードにはそのキーがありません。</translation>
    </message>
    <message>
        <source>%1 cannot be used: this keyboard has no key for one of its modifiers.</source>
        <translation>%1 は使えません。このキーボードには修飾キーの一つがありません。</translation>
    </message>
    <message>
        <source>%1 cannot be used: the desktop refused it.</source>
        <translation>%1 は使えません。デスクトップに拒否されました。</translation>
    </message>
</context>
<context>
    <name>GlobalHotkeys::Recorder</name>
    <message>
        <source>Clear shortcut</source>
        <translation>ショートカットを消去</translation>
    </message>
    <message>
        <source>Keyboard shortcut</source>
        <translation>キーボードショートカット</translation>
    </message>
    <message>
        <source>Most desktop shortcuts can be changed in your desktop&apos;s keyboard settings.</source>
        <translation>デスクトップのショートカットの多くは、デスクトップのキーボード設定で変更できます。</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Press Shortcut</source>
        <translation>キーを押してください</translation>
    </message>
    <message>
        <source>Record Shortcut</source>
        <translation>ショートカットを記録</translation>
    </message>
    <message>
        <source>This shortcut cannot be used because it is already used by the desktop.</source>
        <translation>このショートカットはデスクトップで使われているため使えません。</translation>
    </message>
    <message>
        <source>This shortcut cannot be used because it is already used by “%1”.</source>
        <translation>このショートカットは「%1」で使われているため使えません。</translation>
    </message>
    <message>
        <source>Use Anyway</source>
        <translation>それでも使う</translation>
    </message>
</context>
<context>
    <name>HotkeyDirectory</name>
    <message>
        <source>Floating Timer</source>
        <translation>フローティングタイマー</translation>
    </message>
    <message>
        <source>New Timer</source>
        <translation>新しいタイマー</translation>
    </message>
    <message>
        <source>Next in Queue</source>
        <translation>キューの次へ</translation>
    </message>
    <message>
        <source>One-Key Timer</source>
        <translation>ワンキータイマー</translation>
    </message>
    <message>
        <source>Pause All</source>
        <translation>すべて一時停止</translation>
    </message>
    <message>
        <source>Pause Queue</source>
        <translation>キューを一時停止</translation>
    </message>
    <message>
        <source>Quick Add</source>
        <translation>クイック追加</translation>
    </message>
    <message>
        <source>Reset Timer</source>
        <translation>タイマーをリセット</translation>
    </message>
    <message>
        <source>Start Timer</source>
        <translation>タイマーを開始</translation>
    </message>
    <message>
        <source>Stop Timer</source>
        <translation>タイマーを停止</translation>
    </message>
</context>
<context>
    <name>LiveHotkeyPractice</name>
    <message>
        <source>Now try pressing %1</source>
        <translation>%1 を押してみましょう</translation>
    </message>
    <message>
        <source>Set your summon key above, then practice it here</source>
        <translation>上で呼び出しキーを設定して、ここで練習しましょう</translation>
    </message>
    <message>
        <source>Waiting for a key press…</source>
        <translation>キー入力を待っています…</translation>
    </message>
    <message>
        <source>You did it!</source>
        <translation>できました！</translation>
    </message>
</context>
<context>
    <name>MenuBarAppearancePicker</name>
    <message>
        <source>Icon</source>
        <translation>アイコン</translation>
    </message>
    <message>
        <source>Layout</source>
        <translation>レイアウト</translation>
    </message>
</context>
<context>
    <name>MenuBarDisplayMode</name>
    <message>
        <source>Icon</source>
        <translation>アイコン</translation>
    </message>
    <message>
        <source>Icon + Time</source>
        <translation>アイコン + 時間</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>時間</translation>
    </message>
</context>
<context>
    <name>MenuBarIconStyle</name>
    <message>
        <source>Clock</source>
        <translation>時計</translation>
    </message>
    <message>
        <source>Minimal</source>
        <translation>ミニマル</translation>
    </message>
    <message>
        <source>Wind-up</source>
        <translation>ゼンマイ</translation>
    </message>
</context>
<context>
    <name>MinutesStepper</name>
    <message>
        <source>%1 min</source>
        <translation>%1 分</translation>
    </message>
</context>
<context>
    <name>ModuleID</name>
    <message>
        <source>Chained Timers Entry</source>
        <translation>連続タイマーの入口</translation>
    </message>
    <message>
        <source>Pomodoro Start Card</source>
        <translation>ポモドーロ開始カード</translation>
    </message>
    <message>
        <source>Symbol Key Row</source>
        <translation>記号キーの列</translation>
    </message>
</context>
<context>
    <name>OnboardingBackButton</name>
    <message>
        <source>Back</source>
        <translation>戻る</translation>
    </message>
</context>
<context>
    <name>OnboardingInputExamples</name>
    <message>
        <source>1 hour 30 minute timer</source>
        <translation>1時間30分のタイマー</translation>
    </message>
    <message>
        <source>25-minute timer</source>
        <translation>25分のタイマー</translation>
    </message>
    <message>
        <source>Alarm at 12:30</source>
        <translation>12:30 のアラーム</translation>
    </message>
    <message>
        <source>Alarm at 9:00 PM</source>
        <translation>午後9:00 のアラーム</translation>
    </message>
</context>
<context>
    <name>OnboardingQuickChip</name>
    <message>
        <source>Review a %1-minute timer</source>
        <translation>%1分のタイマーを確認</translation>
    </message>
</context>
<context>
    <name>OnboardingReadyDial</name>
    <message>
        <source>Ready</source>
        <translation>準備完了</translation>
    </message>
</context>
<context>
    <name>OnboardingStep</name>
    <message>
        <source>Add from anywhere</source>
        <translation>どこからでも追加</translation>
    </message>
    <message>
        <source>Choose your language</source>
        <translation>言語を選んでください</translation>
    </message>
    <message>
        <source>Pick a length, then press ⌘⌥1 anytime to start it instantly — from any app.</source>
        <translation>長さを選んだら、いつでも ⌘⌥1 を押すだけですぐにスタート — どのアプリからでも。</translation>
    </message>
    <message>
        <source>Ready when you are. The timer starts only after you press the button. Prefer a focus/break rhythm? Turn on Pomodoro from the Timers tab anytime.</source>
        <translation>準備はいつでもどうぞ。タイマーはボタンを押すまで始まりません。集中と休憩のリズムがお好みなら、タイマータブからいつでもポモドーロをオンにできます。</translation>
    </message>
    <message>
        <source>Tap a saved chip for an instant start, or type a duration or clock time into Quick Add. The menu bar stays available while you work.</source>
        <translation>保存したチップをタップしてすぐに開始するか、クイック追加に時間や時刻を入力します。作業中もメニューバーからいつでも使えます。</translation>
    </message>
    <message>
        <source>You can change this later in Settings.</source>
        <translation>あとから設定で変更できます。</translation>
    </message>
    <message>
        <source>You&apos;re all set</source>
        <translation>準備ができました</translation>
    </message>
    <message>
        <source>Your one-key timer</source>
        <translation>ワンキータイマー</translation>
    </message>
</context>
<context>
    <name>OnboardingStepIndicator</name>
    <message>
        <source>Step %1 of %2</source>
        <translation>ステップ %1 / %2</translation>
    </message>
</context>
<context>
    <name>OnboardingView</name>
    <message>
        <source>Next</source>
        <translation>次へ</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>スキップ</translation>
    </message>
    <message>
        <source>Skip onboarding</source>
        <translation>オンボーディングをスキップ</translation>
    </message>
    <message>
        <source>Start selected timer</source>
        <translation>選んだタイマーを開始</translation>
    </message>
</context>
<context>
    <name>PomodoroCard</name>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
</context>
<context>
    <name>PomodoroCardModel</name>
    <message>
        <source>%1, %2 minutes, step %3</source>
        <translation>%1、%2分、ステップ%3</translation>
    </message>
    <message>
        <source>%1m</source>
        <translation>%1分</translation>
    </message>
    <message>
        <source>%1m focus, %2m break</source>
        <translation>集中%1分・休憩%2分</translation>
    </message>
    <message>
        <source>Break</source>
        <translation>休憩</translation>
    </message>
    <message>
        <source>Focus</source>
        <translation>集中</translation>
    </message>
</context>
<context>
    <name>PomodoroSimpleEntry</name>
    <message>
        <source>Start Pomodoro</source>
        <translation>ポモドーロを開始</translation>
    </message>
</context>
<context>
    <name>PresetEditorSheet</name>
    <message>
        <source>Add</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Duration (minutes)</source>
        <translation>長さ（分）</translation>
    </message>
    <message>
        <source>Edit Preset</source>
        <translation>プリセットを編集</translation>
    </message>
    <message>
        <source>Focus Session</source>
        <translation>集中セッション</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>New Preset</source>
        <translation>新しいプリセット</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
</context>
<context>
    <name>PresetRow</name>
    <message>
        <source>%1 shortcut %2</source>
        <translation>%1 のショートカット %2</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1、%2</translation>
    </message>
    <message>
        <source>Assign a key to %1</source>
        <translation>%1 にキーを割り当てる</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>編集</translation>
    </message>
    <message>
        <source>Options for preset %1</source>
        <translation>プリセット %1 のオプション</translation>
    </message>
    <message>
        <source>Select to review before starting</source>
        <translation>選ぶと開始前に確認できます</translation>
    </message>
</context>
<context>
    <name>PresetsScreen</name>
    <message>
        <source>Add Preset</source>
        <translation>プリセットを追加</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Delete Sequence?</source>
        <translation>シーケンスを削除しますか?</translation>
    </message>
    <message>
        <source>New Sequence</source>
        <translation>新しいシーケンス</translation>
    </message>
    <message>
        <source>Presets</source>
        <translation>プリセット</translation>
    </message>
    <message>
        <source>Reusable timer sequences</source>
        <translation>くり返し使えるタイマーの流れ</translation>
    </message>
    <message>
        <source>This can&apos;t be undone.</source>
        <translation>この操作は取り消せません。</translation>
    </message>
</context>
<context>
    <name>PresetsScreenModel</name>
    <message>
        <source>%1 Copy</source>
        <translation>%1 のコピー</translation>
    </message>
    <message>
        <source>%1m</source>
        <translation>%1分</translation>
    </message>
    <message numerus="yes">
        <source>%n step(s) · %1 min</source>
        <translation>
            <numerusform>%nステップ · %1分</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PresetsSection</name>
    <message>
        <source>Add Preset</source>
        <translation>プリセットを追加</translation>
    </message>
    <message>
        <source>Add a preset to start a timer in one tap</source>
        <translation>プリセットを追加すると、ワンタップでタイマーを始められます</translation>
    </message>
    <message>
        <source>Quick Durations</source>
        <translation>クイック時間</translation>
    </message>
    <message>
        <source>Save lengths you use often. Select one to review it before starting.</source>
        <translation>よく使う長さを保存しましょう。選ぶと開始前に確認できます。</translation>
    </message>
</context>
<context>
    <name>QueueMenu</name>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>一時停止</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>開始</translation>
    </message>
    <message>
        <source>Up Next (%1)</source>
        <translation>次のタイマー (%1)</translation>
    </message>
</context>
<context>
    <name>QuickAddBar</name>
    <message>
        <source>+ Save as Preset</source>
        <translation>+ プリセットに保存</translation>
    </message>
    <message>
        <source>25m · 1d18h · 12:30</source>
        <translation>25m · 1d18h · 12:30</translation>
    </message>
    <message>
        <source>Insert %1</source>
        <translation>「%1」を入力</translation>
    </message>
    <message>
        <source>Preset name</source>
        <translation>プリセット名</translation>
    </message>
    <message>
        <source>Review timer</source>
        <translation>タイマーを確認</translation>
    </message>
</context>
<context>
    <name>QuickAddBarModel</name>
    <message>
        <source>Enter a preset name</source>
        <translation>プリセット名を入力してください</translation>
    </message>
    <message>
        <source>Preset saved</source>
        <translation>プリセットを保存しました</translation>
    </message>
    <message>
        <source>You can save up to 10 presets</source>
        <translation>プリセットは10個まで保存できます</translation>
    </message>
</context>
<context>
    <name>QuickAddPanel</name>
    <message>
        <source>Quick Add</source>
        <translation>クイック追加</translation>
    </message>
</context>
<context>
    <name>QuickAddView</name>
    <message>
        <source>%1 min</source>
        <translation>%1 分</translation>
    </message>
    <message>
        <source>Add a timer</source>
        <translation>タイマーを追加</translation>
    </message>
    <message>
        <source>Minutes · &quot;1h30m&quot; · &quot;1d18h&quot; · times like &quot;12:30&quot; or &quot;9pm&quot;</source>
        <translation>分 · 「1h30m」 · 「1d18h」 · 時刻「12:30」「9pm」</translation>
    </message>
    <message>
        <source>e.g. 25 ・ 1h30m ・ 1d18h ・ 12:30</source>
        <translation>例: 25 ・ 1h30m ・ 1d18h ・ 12:30</translation>
    </message>
    <message>
        <source>esc to close</source>
        <translation>esc で閉じる</translation>
    </message>
</context>
<context>
    <name>QuickAddViewModel</name>
    <message>
        <source>Couldn&apos;t read that. Try: 10m · 1d18h · 12:30</source>
        <translation>読み取れませんでした。例: 10m · 1d18h · 12:30</translation>
    </message>
</context>
<context>
    <name>QuickLaunchPane</name>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Delete Preset?</source>
        <translation>プリセットを削除しますか？</translation>
    </message>
    <message>
        <source>No presets yet</source>
        <translation>プリセットはまだありません</translation>
    </message>
    <message>
        <source>Preset name</source>
        <translation>プリセット名</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>名前を変更</translation>
    </message>
    <message>
        <source>Rename Preset</source>
        <translation>プリセット名を変更</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>This preset will be removed.</source>
        <translation>このプリセットは削除されます。</translation>
    </message>
</context>
<context>
    <name>QuickLaunchParseError</name>
    <message>
        <source>Couldn&apos;t read that. Try: 10m · 1d18h · 12:30</source>
        <translation>読み取れませんでした。例: 10m · 1d18h · 12:30</translation>
    </message>
    <message>
        <source>Enter a time</source>
        <translation>時間を入力してください</translation>
    </message>
    <message>
        <source>Must be at least 1 second</source>
        <translation>1秒以上にしてください</translation>
    </message>
    <message>
        <source>That time has already passed</source>
        <translation>その時刻はすでに過ぎています</translation>
    </message>
    <message>
        <source>That time isn&apos;t allowed</source>
        <translation>その時間は指定できません</translation>
    </message>
</context>
<context>
    <name>QuickPresetBehavior</name>
    <message>
        <source>Always Start New</source>
        <translation>毎回新しく開始</translation>
    </message>
    <message>
        <source>Pause / Resume</source>
        <translation>一時停止 / 再開</translation>
    </message>
    <message>
        <source>Pauses if running, resumes if paused</source>
        <translation>動作中なら一時停止、停止中なら再開</translation>
    </message>
    <message>
        <source>Press to start a fresh timer every time</source>
        <translation>押すたびに新しいタイマーを開始</translation>
    </message>
    <message>
        <source>Press to start, press again to stop (default)</source>
        <translation>押すと開始、もう一度押すと停止（標準）</translation>
    </message>
    <message>
        <source>Start ↔ Stop</source>
        <translation>開始 ↔ 停止</translation>
    </message>
</context>
<context>
    <name>RightClickMenu</name>
    <message>
        <source>Floating Window</source>
        <translation>フローティングウィンドウ</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>一時停止</translation>
    </message>
    <message>
        <source>Quick Timer</source>
        <translation>クイックタイマー</translation>
    </message>
    <message>
        <source>Quit TarvolinTimer</source>
        <translation>TarvolinTimerを終了</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>再開</translation>
    </message>
    <message>
        <source>Review %1-minute timer</source>
        <translation>%1分タイマーを確認</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
</context>
<context>
    <name>RunningHeroView</name>
    <message>
        <source>%1, %2</source>
        <extracomment>The hero card&apos;s remaining time, then its state caption.</extracomment>
        <translation>%1、%2</translation>
    </message>
    <message>
        <source>Ends at</source>
        <translation>終了予定</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>一時停止</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>再開</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>開始</translation>
    </message>
</context>
<context>
    <name>SequenceAddTile</name>
    <message>
        <source>Add or manage Pomodoro sequence</source>
        <translation>ポモドーロのシーケンスを追加・管理</translation>
    </message>
</context>
<context>
    <name>SequenceEditorSheet</name>
    <message>
        <source>Add</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>Add Step</source>
        <translation>ステップを追加</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Delete step</source>
        <translation>ステップを削除</translation>
    </message>
    <message>
        <source>Edit Sequence</source>
        <translation>シーケンスを編集</translation>
    </message>
    <message>
        <source>Move step down</source>
        <translation>ステップを下へ</translation>
    </message>
    <message>
        <source>Move step up</source>
        <translation>ステップを上へ</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>New Sequence</source>
        <translation>新しいシーケンス</translation>
    </message>
    <message>
        <source>Pomodoro</source>
        <translation>ポモドーロ</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Steps</source>
        <translation>ステップ</translation>
    </message>
</context>
<context>
    <name>SequenceRow</name>
    <message>
        <source>%1, %2</source>
        <translation>%1、%2</translation>
    </message>
    <message>
        <source>Active</source>
        <translation>使用中</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>複製</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>編集</translation>
    </message>
    <message>
        <source>Options for sequence %1</source>
        <translation>シーケンス %1 のオプション</translation>
    </message>
    <message>
        <source>Use this sequence</source>
        <translation>このシーケンスを使う</translation>
    </message>
</context>
<context>
    <name>SequenceStepPreview</name>
    <message>
        <source>Starts from step 1</source>
        <translation>ステップ1から開始</translation>
    </message>
</context>
<context>
    <name>SequencesSection</name>
    <message>
        <source>Build a focus and break rhythm.</source>
        <translation>集中と休憩のリズムを作りましょう。</translation>
    </message>
    <message>
        <source>Create Sequence</source>
        <translation>シーケンスを作成</translation>
    </message>
    <message>
        <source>New Sequence</source>
        <translation>新しいシーケンス</translation>
    </message>
    <message>
        <source>No sequences yet</source>
        <translation>シーケンスはまだありません</translation>
    </message>
    <message>
        <source>Sequences</source>
        <translation>シーケンス</translation>
    </message>
</context>
<context>
    <name>SettingPicker</name>
    <message>
        <source>Alarm display</source>
        <translation>アラーム表示</translation>
    </message>
    <message>
        <source>Key behavior</source>
        <translation>キーの動作</translation>
    </message>
    <message>
        <source>Remaining detail</source>
        <translation>残り時間の細かさ</translation>
    </message>
    <message>
        <source>Time wording</source>
        <translation>時刻の表記</translation>
    </message>
</context>
<context>
    <name>SettingsPreviewStage</name>
    <message>
        <source>Paused</source>
        <translation>一時停止</translation>
    </message>
    <message>
        <source>Running</source>
        <translation>動作中</translation>
    </message>
</context>
<context>
    <name>SettingsScreen</name>
    <message>
        <source>About TarvolinTimer</source>
        <translation>TarvolinTimer について</translation>
    </message>
    <message>
        <source>Accent Color</source>
        <translation>アクセントカラー</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>アラーム</translation>
    </message>
    <message>
        <source>Appearance</source>
        <translation>外観</translation>
    </message>
    <message>
        <source>Auto Start Next Timer</source>
        <translation>次のタイマーを自動で開始</translation>
    </message>
    <message>
        <source>Auto-start Breaks</source>
        <translation>休憩を自動で開始</translation>
    </message>
    <message>
        <source>Bug reports and requests are welcome too. Or come talk on Discord.</source>
        <translation>不具合の報告や要望も歓迎です。Discord で話しかけてくれても構いません。</translation>
    </message>
    <message>
        <source>Chained Timers Entry</source>
        <translation>連続タイマーの入口</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>アップデートを確認</translation>
    </message>
    <message>
        <source>Cycle Lengths</source>
        <translation>サイクルの長さ</translation>
    </message>
    <message>
        <source>Default is ⌘⌥1. Click to record a different key.</source>
        <translation>初期設定は ⌘⌥1 です。クリックすると別のキーを記録できます。</translation>
    </message>
    <message>
        <source>Feedback</source>
        <translation>フィードバック</translation>
    </message>
    <message>
        <source>Floating Window</source>
        <translation>フローティングウィンドウ</translation>
    </message>
    <message>
        <source>Focus Duration</source>
        <translation>集中時間</translation>
    </message>
    <message>
        <source>Focus rounds before the long break.</source>
        <translation>長い休憩までの集中ラウンド数です。</translation>
    </message>
    <message>
        <source>General</source>
        <translation>一般</translation>
    </message>
    <message>
        <source>Getting Started</source>
        <translation>はじめに</translation>
    </message>
    <message>
        <source>Keyboard Shortcut</source>
        <translation>キーボードショートカット</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>言語</translation>
    </message>
    <message>
        <source>Launch at Login</source>
        <translation>ログイン時に起動</translation>
    </message>
    <message>
        <source>Long Break</source>
        <translation>長い休憩</translation>
    </message>
    <message>
        <source>Long Break Length</source>
        <translation>長い休憩の長さ</translation>
    </message>
    <message>
        <source>Menu Bar Alarm Display</source>
        <translation>メニューバーのアラーム表示</translation>
    </message>
    <message>
        <source>Modules on Screen</source>
        <translation>画面に表示するモジュール</translation>
    </message>
    <message>
        <source>One-key timer length</source>
        <translation>ワンキータイマーの長さ</translation>
    </message>
    <message>
        <source>Play Sounds</source>
        <translation>サウンドを鳴らす</translation>
    </message>
    <message>
        <source>Pomodoro</source>
        <translation>ポモドーロ</translation>
    </message>
    <message>
        <source>Pomodoro Start Card</source>
        <translation>ポモドーロ開始カード</translation>
    </message>
    <message>
        <source>Pomodoro: break starts</source>
        <translation>ポモドーロ：休憩の開始</translation>
    </message>
    <message>
        <source>Pomodoro: focus starts</source>
        <translation>ポモドーロ：集中の開始</translation>
    </message>
    <message>
        <source>Pressing the shortcut below starts a timer for this long.</source>
        <translation>下のショートカットを押すと、この長さのタイマーが始まります。</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>Quit TarvolinTimer</source>
        <translation>TarvolinTimer を終了</translation>
    </message>
    <message>
        <source>Remaining time detail</source>
        <translation>残り時間の細かさ</translation>
    </message>
    <message>
        <source>Rounds</source>
        <translation>ラウンド数</translation>
    </message>
    <message>
        <source>Send Feedback to the Developer</source>
        <translation>開発者にフィードバックを送る</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>Short Break</source>
        <translation>短い休憩</translation>
    </message>
    <message>
        <source>Shortcuts</source>
        <translation>ショートカット</translation>
    </message>
    <message>
        <source>Show Task Name</source>
        <translation>タスク名を表示</translation>
    </message>
    <message>
        <source>Show on Launch</source>
        <translation>起動時に表示</translation>
    </message>
    <message>
        <source>Sounds</source>
        <translation>サウンド</translation>
    </message>
    <message>
        <source>Symbol Key Row</source>
        <translation>記号キーの列</translation>
    </message>
    <message>
        <source>System</source>
        <translation>システム</translation>
    </message>
    <message>
        <source>Talk with Everyone</source>
        <translation>みんなと話す</translation>
    </message>
    <message>
        <source>The easiest timer to live in your menu bar.</source>
        <translation>メニューバーにいちばん気軽に置けるタイマー。</translation>
    </message>
    <message>
        <source>Theme &amp; Wording</source>
        <translation>テーマと表記</translation>
    </message>
    <message>
        <source>Time Wording</source>
        <translation>時刻の表記</translation>
    </message>
    <message>
        <source>Timer complete</source>
        <translation>タイマー完了</translation>
    </message>
    <message>
        <source>Updates</source>
        <translation>アップデート</translation>
    </message>
    <message>
        <source>Want more keys? Each row in the Presets tab has a keyboard icon for its own shortcut. Quick Add (⌘⌥Space) is a separate on-the-spot entry field, not a key assignment.</source>
        <translation>もっとキーを使いたいときは、プリセットタブの各行にあるキーボードアイコンから個別のショートカットを設定できます。クイック追加（⌘⌥Space）はその場で入力する欄で、キーの割り当てではありません。</translation>
    </message>
    <message>
        <source>Watch onboarding again</source>
        <translation>オンボーディングをもう一度見る</translation>
    </message>
    <message>
        <source>What the key does</source>
        <translation>キーの動作</translation>
    </message>
    <message>
        <source>Choose the timer-complete sound</source>
        <translation>タイマー完了のサウンドを選ぶ</translation>
    </message>
    <message>
        <source>Choose the alarm sound</source>
        <translation>アラームのサウンドを選ぶ</translation>
    </message>
    <message>
        <source>Choose the focus-start sound</source>
        <translation>集中開始のサウンドを選ぶ</translation>
    </message>
    <message>
        <source>Choose the break-start sound</source>
        <translation>休憩開始のサウンドを選ぶ</translation>
    </message>
</context>
<context>
    <name>ShortcutBubble</name>
    <message>
        <source>Key for %1</source>
        <translation>%1 のキー</translation>
    </message>
    <message>
        <source>Press it to start this preset from anywhere.</source>
        <translation>どこからでもこのキーでプリセットを始められます。</translation>
    </message>
</context>
<context>
    <name>SoundCard</name>
    <message>
        <source>Delete</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Plays in full</source>
        <translation>最後まで再生</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>名前を変更</translation>
    </message>
    <message>
        <source>Options for sound %1</source>
        <translation>サウンド %1 のオプション</translation>
    </message>
</context>
<context>
    <name>SoundGallerySheet</name>
    <message>
        <source>Add Sound</source>
        <translation>サウンドを追加</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>Couldn&apos;t Add Sound</source>
        <translation>サウンドを追加できませんでした</translation>
    </message>
    <message>
        <source>Couldn&apos;t add sound.</source>
        <translation>サウンドを追加できませんでした。</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>名前を変更</translation>
    </message>
    <message>
        <source>Rename Sound</source>
        <translation>サウンドの名前を変更</translation>
    </message>
    <message>
        <source>Sound name</source>
        <translation>サウンド名</translation>
    </message>
    <message>
        <source>You can also add sounds by dragging files here</source>
        <translation>ここにファイルをドラッグしてもサウンドを追加できます</translation>
    </message>
    <message>
        <source>Sounds (%1)</source>
        <translation>サウンド (%1)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>すべてのファイル (*)</translation>
    </message>
</context>
<context>
    <name>SoundPurposeCard</name>
    <message>
        <source>Choose a sound</source>
        <translation>サウンドを選択</translation>
    </message>
</context>
<context>
    <name>StepperRow</name>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>Decrease</source>
        <translation>減らす</translation>
    </message>
    <message>
        <source>Increase</source>
        <translation>増やす</translation>
    </message>
</context>
<context>
    <name>TimerManager</name>
    <message>
        <source>until %1 (%2)</source>
        <translation>%1 まで (%2)</translation>
    </message>
</context>
<context>
    <name>TimerPreparationModel</name>
    <message>
        <source>Ends at</source>
        <translation>終了予定</translation>
    </message>
</context>
<context>
    <name>TimerPreparationView</name>
    <message>
        <source>Back</source>
        <translation>戻る</translation>
    </message>
    <message>
        <source>Queue</source>
        <translation>待機に追加</translation>
    </message>
    <message>
        <source>Ready to start?</source>
        <translation>スタートしますか？</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>開始</translation>
    </message>
    <message>
        <source>What are you focusing on?</source>
        <translation>何に集中しますか？</translation>
    </message>
</context>
<context>
    <name>ToolRow</name>
    <message>
        <source>Floating Window</source>
        <translation>フローティングウィンドウ</translation>
    </message>
    <message>
        <source>More</source>
        <translation>その他</translation>
    </message>
    <message>
        <source>More timer options</source>
        <translation>タイマーのその他のオプション</translation>
    </message>
    <message>
        <source>Task Chain</source>
        <translation>連続タスク</translation>
    </message>
</context>
<context>
    <name>UpdateChannel</name>
    <message>
        <source>Couldn&apos;t reach the update server. Check your connection.</source>
        <translation>アップデートサーバーに接続できませんでした。ネットワーク接続を確認してください。</translation>
    </message>
    <message>
        <source>The update information couldn&apos;t be read.</source>
        <translation>アップデート情報を読み取れませんでした。</translation>
    </message>
    <message>
        <source>The update server answered with an error.</source>
        <translation>アップデートサーバーがエラーを返しました。</translation>
    </message>
    <message>
        <source>The update server sent the check to an address that isn&apos;t allowed.</source>
        <translation>アップデートサーバーが許可されていないアドレスへ転送しました。</translation>
    </message>
    <message>
        <source>The update server took too long to answer.</source>
        <translation>アップデートサーバーの応答に時間がかかりすぎました。</translation>
    </message>
    <message>
        <source>Update checks are not available in this build.</source>
        <translation>このビルドではアップデートを確認できません。</translation>
    </message>
</context>
<context>
    <name>UpdateCheckModel</name>
    <message>
        <source>%1. %2</source>
        <extracomment>A heading without its full stop, then the message after it.</extracomment>
        <translation>%1。%2</translation>
    </message>
    <message>
        <source>A new version is available</source>
        <translation>新しいバージョンがあります</translation>
    </message>
    <message>
        <source>Checking for updates…</source>
        <translation>アップデートを確認しています…</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>Couldn&apos;t check for updates</source>
        <translation>アップデートを確認できませんでした</translation>
    </message>
    <message>
        <source>Looking for a version newer than %1.</source>
        <translation>%1 より新しいバージョンを探しています。</translation>
    </message>
    <message>
        <source>Open Download Page</source>
        <translation>ダウンロードページを開く</translation>
    </message>
    <message>
        <source>Software Update</source>
        <translation>ソフトウェアアップデート</translation>
    </message>
    <message>
        <source>TarvolinTimer %1 is available. You have %2.</source>
        <translation>TarvolinTimer %1 が公開されています。お使いのバージョンは %2 です。</translation>
    </message>
    <message>
        <source>TarvolinTimer %1 is the newest version.</source>
        <translation>TarvolinTimer %1 は最新バージョンです。</translation>
    </message>
    <message>
        <source>You&apos;re up to date</source>
        <translation>最新の状態です</translation>
    </message>
</context>
<context>
    <name>UserSoundError</name>
    <message>
        <source>Couldn&apos;t import the sound. Please try again.</source>
        <translation>サウンドを取り込めませんでした。もう一度お試しください。</translation>
    </message>
    <message>
        <source>This format (.%1) can&apos;t be added. Please choose mp3 / wav / m4a / aiff, etc.</source>
        <translation>この形式（.%1）は追加できません。mp3 / wav / m4a / aiff などを選んでください。</translation>
    </message>
</context>
</TS>
